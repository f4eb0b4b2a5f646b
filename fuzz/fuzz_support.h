// What the fuzz targets share: an output object that drops every message, the
// cut of an input into its parts, and the guard that bounds a translation the
// way a host bounds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/translation_loop.h"
#include "engine/zrcomp.h"

namespace zr::fuzz {

class discard_output : public output_object {
 public:
  void writes(const std::string&) override {}
};

// Inputs past this size only slow the search down: every parser here reads
// its text front to back, and a longer text rarely reaches new code.
inline constexpr std::size_t max_input = 1 << 15;

// The input cut at every NUL byte (a trailing part may be empty).
inline std::vector<std::string> split_at_nul(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      parts.emplace_back();
    else
      parts.back() += static_cast<char>(data[i]);
  }
  return parts;
}

// The calling thread's engine state, made ready for the next input as a run
// makes it ready for a translation, and with an empty value stack (which a
// run keeps), so no input sees what the one before it left. A fresh state for
// each input would cost more than the work under test: it holds hundreds of
// event rows.
inline engine_state& reset_state() {
  engine_state& state = *thread_engine_state();
  if (!state.output) state.output = std::make_shared<discard_output>();
  state.event_pump = nullptr;
  set_steps(state, false);
  state.flags.terminate_requested = false;
  run_init(state);
  for (value_text& value : state.variables.values)
    value.clear();
  dialog_init(state);
  state.interpreter = {};
  return state;
}

// Bounds a run through the event pump. A schema may loop forever on purpose
// (an event that queues itself) or double a text at every step (a stream that
// prints itself into itself); a host stops such a run with user_terminated.
// Step mode and suspension would make the run wait for a grant no one gives,
// so each pass lets the run go on at full speed.
class run_guard {
 public:
  static constexpr int max_passes = 20000;
  static constexpr std::size_t max_text = 1 << 20;  // characters in the result and all variables

  // True when the run should be stopped now.
  bool pass(engine_state& state) {
    if (state.flags.steps_on || state.flags.suspended) suspend_dialog_and_schema(state);
    return ++passes_ >= max_passes || text_held(state) > max_text;
  }

 private:
  static std::size_t text_held(const engine_state& state) {
    std::size_t held = state.run.result_body.size();
    for (const value_text& value : state.variables.values)
      held += value.size();
    return held;
  }

  int passes_ = 0;
};

}  // namespace zr::fuzz
