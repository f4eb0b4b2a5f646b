// The last step of the schema compiler: state names of every event resolved
// to state-table indices, which is also the schema's completeness check; and
// the event dump that the registration writes after every row it adds.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct engine_state;

// Index of the first state (1..states_quantity) named exactly `name`. Raises
// 2048 "SCHEMA IS NOT COMPLETE: ..." naming the state, the last event row and
// the first state of the last nest header read, when there is none; the
// place where that state was first named is kept for the failure location.
std::int16_t find_state_index(engine_state& state, text_view name);

// Fills nest_state_index and post_state of every event; an event without next
// states gets the no-state marker as its one next state. Traces every lookup
// while debug is on. Raises the completeness error of find_state_index.
// Last decides the kinds of every event (engine/event_kinds.h) and builds the
// look-up indexes of the event table (engine/lookup.h).
void index_states(engine_state& state);

// Writes the dump of event row `event_index` while debug is on; nothing
// otherwise. Raises the index-range error for a row outside the table.
void dump_event(engine_state& state, std::int16_t event_index);

}  // namespace zr
