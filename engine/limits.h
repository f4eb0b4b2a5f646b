// Run limits: how long, how many dialog steps and how much memory one
// translation may take. They are checked wherever the run polls its host, so a
// runaway schema is stopped with a report instead of running on or being
// killed by the system.
#pragma once

#include <chrono>
#include <cstdint>

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
};

// Starts the clock of a run.
void start_limits(engine_state& state);

// Raises an engine error that names the limit the run has reached, if any:
// "run stopped: time limit of N seconds reached", "run stopped: step limit
// of N dialog steps reached" or "run stopped: memory limit of N MB reached".
void check_limits(engine_state& state);

// The resident memory of the process in bytes; 0 when it cannot be read.
long long resident_bytes();

}  // namespace zr
