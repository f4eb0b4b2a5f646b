// Errors that point to their place: after a failed run the console gets the
// same FILE:LINE:COLUMN line as the command-line host writes, and a click (or
// Enter) on such a line selects that place in the schema or source pane.
#pragma once

#include <cstddef>
#include <optional>

#include "common/text.h"
#include "engine/zrcomp.h"
#include "frontend/frontend_state.h"

namespace zr {

// A place a diagnostic line names; line and column count from 1.
struct text_place {
  text file;
  long long line = 1;
  long long column = 1;
  friend bool operator==(const text_place&, const text_place&) = default;
};

// The error line of a failed run, naming the files the panes were loaded from.
text failure_line(const frontend& fe, const failure_location& where);

// The place named by the diagnostic line ("FILE:LINE:COLUMN: error: ..." or
// "warning:") that holds `position` of `console`, if that line is one.
std::optional<text_place> place_at(text_view console, std::size_t position);

// The position in `contents` of a line and column (a line ends at its LF; a
// place beyond a line's end or the text's end is clamped to it).
std::size_t position_of(text_view contents, long long line, long long column);

// Selects the place the console line under the caret of `view` (the console
// pane, or the editor window showing the console) names, in the pane that
// holds that file (in the editor window when it shows that pane).
void go_to_diagnostic(frontend& fe, control view);

}  // namespace zr
