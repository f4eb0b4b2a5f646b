// The editor window: a large window with one text box, txtEdit, in which any
// of the main window's four panes is edited. Closing it copies the text back
// into the pane it came from.
#pragma once

#include "common/text.h"
#include "frontend/frontend_state.h"

namespace zr {

// The panes the editor opens, named as current_text names them.
enum class editor_pane { schema, source, result, console };

// Opens the pane in the editor: loads the window when it is closed, otherwise
// first copies the editor's text back into the pane it shows, as closing does,
// so edits survive re-pointing. Then sets caption, colour and text and shows
// the window.
void open_editor(frontend& fe, editor_pane pane);

// Copies the editor's text back into its pane, empties current_text and hides
// the window.
void close_editor(frontend& fe);

// Where the editor window opens: 0.9 of the screen, centred; when that would
// cover `keep_free` (the run controls), the largest part of it beside, above
// or below them.
twips_rect editor_placement(twips_rect screen, twips_rect keep_free);

// The editor's caption for the pane it shows, with " *" while that pane holds
// unsaved edits.
void show_editor_caption(frontend& fe, bool unsaved);

// Fits txtEdit into the window: 400 twips narrower and 600 lower, at 100
// twips from the top left; a window too small for either keeps that length.
void adjust_size(frontend& fe);

// A key typed in txtEdit or the window, before it takes effect. Esc closes the
// editor (returns true). Any other key in a text longer than 27000 characters
// shows the size warning, once per opening; the key takes effect all the same.
bool editor_key_pressed(frontend& fe, int key_code);

// The size warning the editor shows.
extern const text_view size_warning_text;

}  // namespace zr
