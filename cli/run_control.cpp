#include "cli/run_control.h"

#include <fcntl.h>
#include <unistd.h>

#include "cli/diagnostics.h"
#include "cli/signals.h"

namespace zr {

bool terminal_lines::open() {
  fd_ = ::open("/dev/tty", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  return fd_ >= 0;
}

terminal_lines::~terminal_lines() {
  if (fd_ >= 0) ::close(fd_);
}

bool terminal_lines::in_foreground() const {
  return fd_ >= 0 && ::tcgetpgrp(fd_) == ::getpgrp();
}

void terminal_lines::read(const std::function<void(const std::string&)>& line) {
  if (!in_foreground()) return;
  char buffer[256];
  ssize_t n;
  while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] != '\n') {
        partial_ += buffer[i];
        continue;
      }
      line(partial_);
      partial_.clear();
    }
  }
}

void run_control::pump() {
  if (stop_was_requested()) engine_.user_terminated();
  if (!terminal_) {
    resume_without_terminal();
    return;
  }
  const bool suspended = engine_.is_suspended();
  if (suspended && !suspension_shown_)
    print_error_text("suspended: Enter resumes, q and Enter stops\n");
  suspension_shown_ = suspended;
  const bool steps = engine_.are_steps_on();
  if (steps) show_step();
  if (suspended || steps) terminal_->read([this](const std::string& line) { answer(line); });
}

void run_control::resume_without_terminal() {
  if (!engine_.is_suspended() && !engine_.are_steps_on()) return;
  // In step mode this also leaves step mode: no one could grant a step.
  engine_.suspend_dialog_and_schema();
  if (!resumed_shown_) print_error_text("zrtranslate: no terminal to wait on: the run goes on\n");
  resumed_shown_ = true;
}

void run_control::show_step() {
  if (!steps_shown_)
    print_error_text(
        "zrtranslate: Enter grants one step, c and Enter runs on, q and Enter stops\n");
  steps_shown_ = true;
  std::string step = where_(engine_.current_location());
  if (step == last_step_) return;
  last_step_ = step;
  print_error_text(step + "\n");
}

void run_control::answer(const std::string& line) {
  if (line == "q") {
    engine_.user_terminated();
  } else if (engine_.is_suspended()) {
    const bool steps = engine_.are_steps_on();
    engine_.suspend_dialog_and_schema();  // leaves step mode too
    if (steps) engine_.steps();
  } else if (line == "c") {
    engine_.suspend_dialog_and_schema();
  } else if (engine_.are_steps_on()) {
    engine_.steps();
  }
}

}  // namespace zr
