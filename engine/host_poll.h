// The run's yield points, where the host regains control: once a pass of the
// dialog loop and at every poll. They run twice a dialog step and at almost
// every pass find nothing to do, so what they look at is read here, inline,
// and only a stop, a limit, a suspension or step mode leaves for run.cpp.
#pragma once

#include <atomic>

#include "engine/engine_state.h"
#include "engine/limits.h"

namespace zr {

// One pass of the host's event pump, when one is installed and this yield is
// its turn.
inline void yield_to_host(engine_state& state) {
  if (!state.event_pump || --state.pump_countdown != 0) return;
  state.pump_countdown = state.pump_passes_per_call;
  state.event_pump();
}

// Raises an engine error that names the limit the run has reached, if any:
// the step limit at every poll while the source is read, the time and the
// memory limits at every checks_per_clock_read-th poll.
inline void check_limits(engine_state& state) {
  limits_state& limits = state.limits;
  const run_limits& bounds = limits.limits;
  if (bounds.max_steps > 0 && state.run.phase == run_state::reading::source &&
      state.dialog.step_counter > bounds.max_steps)
    raise_step_limit(state);
  if (bounds.timeout_seconds <= 0 && bounds.max_memory_mb <= 0) return;
  if (++limits.polls % checks_per_clock_read == 0) check_clock_limits(state);
}

// Raises "user ordered to terminate" when the host asked for it, taking the
// request.
void act_on_termination_request(engine_state& state);

// Holds a suspended run: yields, acts on a stop request and checks the limits
// until the host resumes it.
void hold_while_suspended(engine_state& state);

// The yield point: yields once, then acts on a termination request
// ("user ordered to terminate"), checks the run limits and holds the run
// while it is suspended.
inline void poll_host(engine_state& state) {
  yield_to_host(state);
  // A plain read first: taking the request is a locked write.
  if (state.flags.terminate_requested.load(std::memory_order_relaxed))
    act_on_termination_request(state);
  check_limits(state);
  if (state.flags.suspended.load(std::memory_order_relaxed)) hold_while_suspended(state);
}

// In step mode, waits for the host's grant and takes it.
void wait_for_grant(engine_state& state);

// The step pause: in step mode waits for the host's grant and takes it; then
// polls the host once.
inline void wait_for_step(engine_state& state) {
  if (state.flags.steps_on.load(std::memory_order_relaxed)) wait_for_grant(state);
  poll_host(state);
}

}  // namespace zr
