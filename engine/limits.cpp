#include "engine/limits.h"

#include <time.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>

#include "common/errors.h"
#include "engine/engine_state.h"

namespace zr {

namespace {

using clock_type = coarse_clock;

// Resident memory is read from /proc at most this often: often enough that a
// text doubling at every step is caught long before it fills the machine (a
// copy of memory runs at a few GB a second, a few tens of MB in 10 ms), and
// seldom enough that the reads cost nothing measurable.
constexpr auto memory_check_interval = std::chrono::milliseconds(10);

// The clock is read at every this many checks: a check comes at every dialog
// step, far more often than the clock's tick of a few milliseconds.
constexpr std::uint32_t checks_per_clock_read = 16;

text seconds_text(double seconds) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", seconds);
  return from_utf8(buffer);
}

}  // namespace

coarse_clock::time_point coarse_clock::now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

long long default_memory_limit_mb() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  // Half of the machine: room for the host and the rest of the system.
  return static_cast<long long>(pages) * page_size / 2 / (1024LL * 1024);
}

long long resident_bytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  long long size = 0, resident = 0;
  const int read = std::fscanf(statm, "%lld %lld", &size, &resident);
  std::fclose(statm);
  return read == 2 ? resident * sysconf(_SC_PAGE_SIZE) : 0;
}

void start_limits(engine_state& state) {
  state.limits.started = clock_type::now();
  state.limits.memory_checked = state.limits.started;
  state.limits.polls = 0;
}

void check_limits(engine_state& state) {
  const run_limits& limits = state.limits.limits;
  if (limits.max_steps > 0 && state.run.phase == run_state::reading::source &&
      state.dialog.step_counter > limits.max_steps)
    raise_engine_error(U"run stopped: step limit of " + number_text(limits.max_steps) +
                       U" dialog steps reached");
  if (limits.timeout_seconds <= 0 && limits.max_memory_mb <= 0) return;
  if (++state.limits.polls % checks_per_clock_read != 0) return;
  const clock_type::time_point now = clock_type::now();
  if (limits.timeout_seconds > 0 &&
      now - state.limits.started >= std::chrono::duration<double>(limits.timeout_seconds))
    raise_engine_error(U"run stopped: time limit of " + seconds_text(limits.timeout_seconds) +
                       U" seconds reached");
  if (limits.max_memory_mb > 0 && now - state.limits.memory_checked >= memory_check_interval) {
    state.limits.memory_checked = now;
    if (resident_bytes() > limits.max_memory_mb * 1024 * 1024)
      raise_engine_error(U"run stopped: memory limit of " + number_text(limits.max_memory_mb) +
                         U" MB reached");
  }
}

}  // namespace zr
