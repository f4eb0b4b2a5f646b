// The console: engine messages and error reports are collected in a buffer and
// moved at most every 0.2 seconds (or once more than 200 characters wait) to
// the console pane, to the editor window when it shows the console, and to
// the console log file.
#pragma once

#include "common/errors.h"
#include "common/text.h"
#include "frontend/frontend_state.h"

namespace zr {

// Adds a message to the buffer; refreshes when the refresh time has passed or
// the buffer is longer than flush_length.
void writes(frontend& fe, text_view message);

// True when the console's refresh time has passed. The clock counts seconds
// since midnight: a refresh time more than a second ahead means
// the clock has passed midnight, so the time has passed too.
bool refresh_due(const frontend& fe);

// Moves the buffer to the panes (not in unattended mode) and appends it to the
// console log; a failed append leaves its message in the panes. Empties the
// buffer and sets the next refresh 0.2 seconds ahead.
void refresh_console(frontend& fe);

// The time of day as "HH:MM:SS".
text time_of_day_text(double seconds_since_midnight);

// Adds the text to the buffer and refreshes at once.
void console_now(frontend& fe, text_view message);

// Appends the text to the box; a box longer than console_cap is restarted with
// the time stamp, " console refreshed: ", CR LF and the text, all selected.
void append_to_box(frontend& fe, text_view message, control box);

// Reports an error in the console (CR LF, description, CR LF, "EXCEPTION ",
// number, " ", where) and shows the exception indicator.
void report_error_now(frontend& fe, const engine_error& error, text_view where);

// The error now being handled, with the engine's zrcomp_error kept as its
// number and description. Call only inside a catch block.
engine_error caught_error();

}  // namespace zr
