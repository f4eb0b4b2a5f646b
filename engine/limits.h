// Run limits: how long, how many dialog steps and how much memory one
// translation may take. They are checked wherever the run polls its host, and
// the memory bound also before every large text grows, so a runaway schema is
// stopped with a report instead of running on or being killed by the system.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "common/growth.h"

#include "engine/zrcomp.h"

namespace zr {

struct engine_state;

// The monotonic clock at its coarse grain (a few milliseconds): the limits
// read it at every poll, and the precise clock costs several times more than
// a dialog step's look-ups there.
struct coarse_clock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<coarse_clock>;
  static constexpr bool is_steady = true;
  static time_point now();
};

struct limits_state {
  run_limits limits{0, 0, default_memory_limit_mb()};  // kept from run to run
  coarse_clock::time_point started;
  coarse_clock::time_point memory_checked;
  std::uint32_t polls = 0;  // checks since the run started
  growth_budget memory;     // the memory bound as the growing texts see it
};

// Checks limits a host asks for: raises the invalid-argument error for a
// negative or non-finite value.
void check_run_limits(const run_limits& limits);

// Starts the clock of a run and readies its memory bound; the caller makes
// state.limits.memory the thread's growth budget for the run.
void start_limits(engine_state& state);

// The clock is read at every this many polls: a poll comes twice a dialog
// step, 64 of them take a few microseconds, and the clock ticks every few
// milliseconds.
constexpr std::uint32_t checks_per_clock_read = 64;

// Raises "run stopped: step limit of N dialog steps reached".
[[noreturn]] void raise_step_limit(engine_state& state);

// Reads the clock and raises "run stopped: time limit of N seconds reached"
// or, when the memory is due to be measured, "run stopped: memory limit of N
// MB reached", if the run has reached that limit. check_limits (host_poll.h)
// calls it at every checks_per_clock_read-th poll.
void check_clock_limits(engine_state& state);

// The bytes the translation's own texts hold now: the schema and the source,
// the result, the variables, streams and stack, the queue and the schema
// table's texts. A walk over fixed tables, cheap enough for every check.
std::size_t engine_held_bytes(const engine_state& state);

}  // namespace zr
