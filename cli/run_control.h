// Steering a running translation from the command line: a stop on SIGINT or
// SIGTERM, step grants and resumes read from the terminal, and a run that
// waits for a grant or a resume when there is no terminal resumed at once.
#pragma once

#include <functional>
#include <string>

#include "engine/zrcomp.h"

namespace zr {

// Reads whole lines from the controlling terminal without blocking.
class terminal_lines {
 public:
  // Opens /dev/tty; false when the process has no terminal.
  bool open();
  ~terminal_lines();
  // Whether this process is in the terminal's foreground process group: a
  // read from the background would stop the process (SIGTTIN).
  bool in_foreground() const;
  // Calls `line` for every line typed since the last call, without its LF.
  // Reads nothing while the process is in the background.
  void read(const std::function<void(const std::string&)>& line);

 private:
  int fd_ = -1;
  std::string partial_;
};

// The event pump of one translation. The terminal is read only while the run
// waits (for a step grant or a resume), never while it goes freely: Ctrl-C
// stops a free run. `terminal` is null when no one can answer: a suspension or
// step mode is then ended at once, with a note on standard error. `where`
// names the place a step waits on.
class run_control {
 public:
  run_control(zrcomp& engine, terminal_lines* terminal,
              std::function<std::string(const failure_location&)> where)
      : engine_(engine), terminal_(terminal), where_(std::move(where)) {}
  // Acts on a stop signal, and on a wait for a step grant or a resume.
  void pump();

  // The engine yields twice a dialog step: a look at the signals and at
  // whether the engine waits costs more than a small step, so the pump asks
  // for every few yields only. A waiting run yields about once a millisecond,
  // so a stop or a wait is still seen within a few tens of milliseconds.
  static constexpr unsigned passes_per_look = 16;

 private:
  void resume_without_terminal();
  void show_step();
  void answer(const std::string& line);

  zrcomp& engine_;
  terminal_lines* terminal_;
  std::function<std::string(const failure_location&)> where_;
  bool suspension_shown_ = false;
  bool steps_shown_ = false;
  bool resumed_shown_ = false;
  std::string last_step_;
};

}  // namespace zr
