// Action dispatch: what an accepted event's action yields (plain text, a
// console message, a macro text, the token or event, a statement for the
// interpreter or the custom actions) and where it goes (the result, the open
// streams or the console).
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct engine_state;

// Runs the action of event `e` and prints what it yields. Sets the dialog's
// locator to the stage in progress.
void run_event_action(engine_state& state, std::int16_t e);

}  // namespace zr
