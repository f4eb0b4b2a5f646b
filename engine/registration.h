// State and event registration: one nest header and the event lines under it
// become states in the state table and rows in the event table, plus one
// generated row for every quoted text post event.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct engine_state;

// Reads the nest header line that is current_line and the event lines of its
// block into the tables; the events belong to schema number schemas_quantity.
// Returns with current_line at the next line that begins in the first column
// with anything but the comment character, or when the schema text has run
// out. Raises the registration errors (2048) and the index-range error past
// 351 states.
void register_block(engine_state& state);

// Queues a generated event whose action prints `action_text` and returns its
// name (event escape, "!", event escape, a running number). Raises "no space
// in extra_event array ... " past 100 waiting events and "cannot create and
// event with type " for a kind other than "text".
text create_extra_event(engine_state& state, text_view action_text, text_view kind);

// Appends the waiting generated events as rows of schema `schema_number`,
// accepted under the any state, and empties the list.
void add_extra_events(engine_state& state, std::int16_t schema_number);

}  // namespace zr
