// The schema and source panes as views of files: each pane remembers the file
// its text came from and its encoding, knows whether it holds unsaved edits
// (in the pane itself or in the editor window showing it), and is saved back
// without ever writing one file's text over another unasked.
#pragma once

#include <optional>

#include "common/text.h"
#include "frontend/frontend_state.h"

namespace zr {

enum class file_pane { schema, source };

inline constexpr file_pane file_panes[] = {file_pane::schema, file_pane::source};

// The pane's box (txtSchema or txtSource) and its file record.
control box_of(file_pane pane);
pane_file& record_of(frontend& fe, file_pane pane);
// The pane shown by a box, when the box is a file pane's.
std::optional<file_pane> file_pane_of(control box);

// Loads the pane from its current path (schema_path or source_path).
void load_pane(frontend& fe, file_pane pane);

// The pane's newest text: the editor's when the editor shows the pane.
text pane_text(frontend& fe, file_pane pane);

// True when the pane holds edits not yet saved.
bool pane_unsaved(frontend& fe, file_pane pane);

// Called before the editor's text is copied back into the pane: edits made
// in the pane or in the editor stay counted as unsaved.
void keep_modified(frontend& fe, file_pane pane);

// The save button: writes the pane to its current path. When that path is not
// the file the pane was loaded from, asks first; No writes nothing.
void save_pane(frontend& fe, file_pane pane);

// Writes the pane to `path`, which becomes its file. A Latin-1 file whose
// text now holds characters Latin-1 cannot hold is written as UTF-8 as a
// whole once the user agrees; false when the user declined, and nothing was
// written.
bool save_pane_to(frontend& fe, file_pane pane, const text& path);

// Before ending or loading over the panes: asks "Save changes to FILE?" (Yes,
// No, Cancel) for every pane with unsaved edits (only for `only`, when given)
// and saves on Yes. Returns false when the user cancelled or declined a save's
// question; a failed save raises its error.
bool settle_unsaved(frontend& fe, std::optional<file_pane> only = std::nullopt);

// The message naming the clash when `result` names the same file as `schema`,
// `source` or a file the panes were loaded from: a run would overwrite an
// input with its result. None when it names none of them.
std::optional<text> result_clash(frontend& fe, text_view result, text_view schema,
                                 text_view source);

// Tells once about each change of a pane's file on disk made by someone else.
void notice_changed_files(frontend& fe);

// The modified markers: " *" after the pane captions and in the window title.
void show_modified_markers(frontend& fe);

}  // namespace zr
