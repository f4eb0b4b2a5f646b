// The switches of the run flags. They act on atomics, so a host may call them
// from another thread while this thread runs a translation.
#pragma once

namespace zr {

struct engine_state;

// Step mode on with one step granted, or step mode off (the grant stays).
void set_steps(engine_state& state, bool on);
void switch_debug_on(engine_state& state);
// Toggles debug output; returns the new value.
bool toggle_debug(engine_state& state);
// In step mode: step mode off, one step granted, suspension cleared.
// Otherwise: toggles the suspension.
void suspend_dialog_and_schema(engine_state& state);

}  // namespace zr
