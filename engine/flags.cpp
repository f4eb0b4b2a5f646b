#include "engine/flags.h"

#include <atomic>

#include "engine/engine_state.h"

namespace zr {

namespace {

// Flips an atomic flag and returns its new value.
bool toggle(std::atomic<bool>& flag) {
  bool was = flag.load();
  while (!flag.compare_exchange_weak(was, !was)) {
  }
  return !was;
}

}  // namespace

void set_steps(engine_state& state, bool on) {
  if (on) {
    state.flags.steps_on = true;
    state.flags.step_granted = true;
  } else {
    state.flags.steps_on = false;
  }
}

void switch_debug_on(engine_state& state) {
  state.flags.debug_on = true;
}

bool toggle_debug(engine_state& state) {
  return toggle(state.flags.debug_on);
}

void suspend_dialog_and_schema(engine_state& state) {
  run_flags& flags = state.flags;
  if (flags.steps_on) {
    flags.steps_on = false;
    flags.step_granted = true;
    flags.suspended = false;
  } else {
    toggle(flags.suspended);
  }
}

}  // namespace zr
