// The front end's state: one set per program run, owned by the main window
// and shared by its run control, console and editor window. Every routine of
// the front end takes the frontend it works on.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "common/text.h"
#include "engine/zrcomp.h"
#include "frontend/fileaux.h"
#include "frontend/recent_files.h"
#include "frontend/run_pacer.h"
#include "frontend/toolkit.h"

namespace zr {

class putout;

// The editor window's own state.
struct editor_state {
  bool loaded = false;
  // The pane whose text is in the editor: "schema", "source", "result",
  // "console", or empty while the editor is closed.
  text current_text;
  // Set each time the window is loaded; cleared once the size warning showed.
  bool show_size_warning = true;
};

// What a file pane (schema or source) knows of the file its text came from.
struct pane_file {
  // The file the text was loaded from or last saved to; empty before a load.
  text path;
  // The file was not valid UTF-8: it is written back as Latin-1.
  bool latin1 = false;
  // Edits that reached the pane from the editor window and are not saved.
  bool modified = false;
  // The file as last loaded, saved or reported changed.
  std::optional<file_stamp> stamp;
};

struct frontend_state {
  text app_dir;  // ends with "/"
  text schema_path;
  text source_path;
  text result_path;
  text status_path;
  text log_path;
  text prefs_text;
  text console_buffer;
  std::size_t console_cap = 10000;
  std::size_t flush_length = 200;
  double next_refresh = 0;
  bool startup_pending = true;
  bool run_requested = false;
  bool unattended = false;
  std::shared_ptr<zrcomp> engine;
  std::shared_ptr<putout> out_object;
  // The engine of the translation in progress, kept even when go drops
  // `engine`: while it yields to the window's events, a timer tick must not
  // start a second run on the thread's one engine state.
  std::shared_ptr<zrcomp> running;
  pane_file schema_file;
  pane_file source_file;
  // The last schema and source pairs loaded, newest first.
  std::vector<file_pair> recent;
  // Runs started in this program run, for the console's separator lines.
  int runs = 0;
  double run_started = 0;
  // The user suspended the running run with suspend/resume.
  bool suspended = false;
  // Step mode asked for before go: granted as the run's dialog begins.
  bool steps_requested = false;
  // The debug mode the user chose last (the debug label between runs): each
  // run's dialog, which otherwise begins with debug off, begins with it.
  bool debug_requested = false;
  // The requests above were granted to the running run's dialog.
  bool requests_granted = false;
  // The name boxes' texts (schema, source, result) when their names were last
  // made current: a box that differs holds a name typed and not applied.
  std::array<text, 3> current_names;
  // Whether the console's text so far ends with a line break.
  bool console_at_line_start = true;
  // The console's text so far ends with a CR whose LF may come next.
  bool console_after_cr = false;
};

struct frontend {
  explicit frontend(toolkit& ui) : ui(ui) {}
  toolkit& ui;
  frontend_state state;
  editor_state editor;
  // When the engine's yields run the window's events.
  run_pacer pacer;
};

}  // namespace zr
