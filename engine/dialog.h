// The dialog: the state machine that accepts one event per step in the
// current nest of states, runs its action, queues its post events, moves the
// nest and hands its feed back command to the run loop.
#pragma once

#include "common/text.h"
#include "engine/event_kinds.h"

namespace zr {

struct engine_state;

// One dialog step over run.coming_event. Returns the feed back command of
// the accepted event (end when the dialog is over, none when there is no
// command). A coming event that no event accepts raises the "TEXT IS NOT
// UNDERSTOOD: " report; every error leaves with the step's locator as
// context.
feedback dialog_step(engine_state& state);

// trace_line of the message, a blank and the names of the nest's states,
// each followed by two blanks.
void trace_nest(const engine_state& state, text_view message);

}  // namespace zr
