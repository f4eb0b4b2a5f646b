#include "engine/limits.h"

#include <time.h>
#include <unistd.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "common/errors.h"
#include "common/memory_bound.h"
#include "engine/engine_state.h"

namespace zr {

namespace {

using clock_type = coarse_clock;

// WebAssembly (emscripten) knows no coarse clock and fails the call; its
// monotonic clock costs no more there.
#ifdef __EMSCRIPTEN__
constexpr clockid_t coarse_clock_id = CLOCK_MONOTONIC;
#else
constexpr clockid_t coarse_clock_id = CLOCK_MONOTONIC_COARSE;
#endif

// What the run holds is measured at most this often, besides before every
// large growth: texts that grow below the size the growth helper charges
// (many small variables, say) are caught within a few tens of MB, and the walk
// over the tables costs nothing measurable.
constexpr auto memory_check_interval = std::chrono::milliseconds(10);

[[noreturn]] void raise_memory_limit(engine_state& state) {
  state.run.stopping = stop_cause::limit;
  raise_engine_error(U"run stopped: memory limit of " +
                     number_text(state.limits.limits.max_memory_mb) + U" MB reached");
}

// Measures what the run holds; raises when that and `bytes` more pass the
// bound.
void measure_memory(engine_state& state, std::size_t bytes) {
  const std::size_t bound = memory_bound_bytes(state.limits.limits.max_memory_mb);
  growth_budget& memory = state.limits.memory;
  memory.charged = engine_held_bytes(state);
  if (memory.charged > bound || bytes > bound - memory.charged) raise_memory_limit(state);
}

void memory_over(void* context, std::size_t bytes) {
  measure_memory(*static_cast<engine_state*>(context), bytes);
}

text seconds_text(double seconds) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", seconds);
  return from_utf8(buffer);
}

}  // namespace

coarse_clock::time_point coarse_clock::now() {
  timespec now;
  clock_gettime(coarse_clock_id, &now);
  return time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

long long default_memory_limit_mb() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  // Half of the machine: room for the host and the rest of the system.
  return static_cast<long long>(pages) * page_size / 2 / (1024LL * 1024);
}

std::size_t engine_held_bytes(const engine_state& state) {
  const run_state& run = state.run;
  // A source lent by the host counts as the copy it saves.
  std::size_t bytes = run.scanned_bytes.size() + run.result_body.size();
  for (const text* t : {&run.schema_text, &run.source, &run.source_text, &run.tocken,
                        &run.line_prefix, &state.reader.current_line})
    bytes += t->size() * sizeof(char32_t);
  for (const text& name : state.variables.names)
    bytes += name.size() * sizeof(char32_t);
  for (const value_text& value : state.variables.values)
    bytes += value.held_bytes();
  for (const auto* queue : {&state.dialog.queue_event, &state.dialog.queue_tocken})
    for (const text& t : *queue)
      bytes += t.size() * sizeof(char32_t);
  for (const event_row& row : state.schema.events)
    bytes += (row.event_name.size() + row.action.size() + row.feed_back.size()) * sizeof(char32_t);
  return bytes;
}

void check_run_limits(const run_limits& limits) {
  const bool valid = std::isfinite(limits.timeout_seconds) && limits.timeout_seconds >= 0 &&
                     limits.max_steps >= 0 && limits.max_memory_mb >= 0;
  if (!valid) raise_platform_error(error_number::invalid_argument);
}

void start_limits(engine_state& state) {
  limits_state& limits = state.limits;
  limits.started = clock_type::now();
  limits.memory_checked = limits.started;
  limits.polls = 0;
  limits.memory = growth_budget{};
  limits.memory.limit = memory_bound_bytes(limits.limits.max_memory_mb);
  limits.memory.over = &memory_over;
  limits.memory.context = &state;
}

void raise_step_limit(engine_state& state) {
  state.run.stopping = stop_cause::limit;
  raise_engine_error(U"run stopped: step limit of " + number_text(state.limits.limits.max_steps) +
                     U" dialog steps reached");
}

void check_clock_limits(engine_state& state) {
  const run_limits& limits = state.limits.limits;
  const clock_type::time_point now = clock_type::now();
  if (limits.timeout_seconds > 0 &&
      now - state.limits.started >= std::chrono::duration<double>(limits.timeout_seconds)) {
    state.run.stopping = stop_cause::limit;
    raise_engine_error(U"run stopped: time limit of " + seconds_text(limits.timeout_seconds) +
                       U" seconds reached");
  }
  if (limits.max_memory_mb > 0 && now - state.limits.memory_checked >= memory_check_interval) {
    state.limits.memory_checked = now;
    measure_memory(state, 0);
  }
}

}  // namespace zr
