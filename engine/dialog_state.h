// The dialog's own state: the nest of states, the events queue and the step
// counters. The nest depth survives from one run to the next until the
// dialog starts again; traces indent by it.
#pragma once

#include <array>
#include <cstdint>

#include "common/text.h"
#include "engine/tokenizer.h"

namespace zr {

inline constexpr std::int16_t max_nest = 100;
inline constexpr std::int16_t queue_capacity = 50;

struct candidate_set;

struct dialog_state {
  std::array<std::int16_t, max_nest + 1> nest_stack{};
  std::int16_t nest = 0;
  // The events queue, a stack used from 1: the highest index is taken first.
  std::array<text, queue_capacity + 1> queue_event;
  std::array<text, queue_capacity + 1> queue_tocken;
  std::array<token_type, queue_capacity + 1> queue_ttype{};
  // The candidates of each element's event, when known (see run_state).
  std::array<const candidate_set*, queue_capacity + 1> queue_candidates{};
  std::array<text, queue_capacity + 1> queue_ttype_stored;  // for token_type::other
  std::int16_t queue_length = 0;
  std::int32_t step_counter = 0;
  // The stage of the step in progress, for error reports; always a literal,
  // so setting it on every step copies nothing.
  text_view locator;
  // Set by the "suspend_at" and "resumed_at" commands; kept from run to run.
  std::int32_t suspend_at_step = 0;
  std::int32_t resume_at_step = 0;
};

}  // namespace zr
