// The main window's logic: creation, command line, preferences, start-up task,
// the buttons that manage names and files, help, about and ending the program.
// It receives every event of both windows and hands run control, console and
// editor events to their modules.
#pragma once

#include <optional>
#include <vector>

#include "common/text.h"
#include "frontend/frontend_state.h"
#include "frontend/pane_files.h"
#include "frontend/toolkit.h"

namespace zr {

// The names a command line gives: schema, source, and whether "no_gui" is on.
struct command_line_names {
  text schema_path;
  text source_path;
  bool unattended = false;
};

// Reads the program's arguments, each taken as given (a name may hold blanks):
// one argument names the source, two name schema and source; "no_gui" in the
// last argument (or in any after the second) hides the window. Missing or
// empty names get the example defaults.
command_line_names read_command_line(const std::vector<text>& arguments);

// The value after the first occurrence of `key_name` anywhere in `prefs_text`,
// up to the next line feed, without carriage returns and trimmed of blanks;
// `default_value` when the key does not occur.
text preference(text_view prefs_text, text_view default_value, text_view key_name);

// The application directory: `home` (ZORVEX_HOME) when it is not empty, else
// the program's directory; with a trailing "/".
text choose_app_dir(text_view program_directory, const char* home);

extern const text_view help_text;
extern const text_view open_schema_message;
extern const text_view typed_names_question;

class zrmain : public toolkit_events {
 public:
  // Creates the window's logic: front-end state, command line, Timer1 at
  // 100 ms, and installs the engine's event pump. A failure shows
  // "top_level_error_handling in initialize: " with the error and ends the
  // program.
  explicit zrmain(toolkit& ui);
  ~zrmain() override;
  zrmain(const zrmain&) = delete;
  zrmain& operator=(const zrmain&) = delete;

  // The window loads: shows it unless unattended and enables Timer1.
  void load();

  void clicked(control button) override;
  void double_clicked(control which) override;
  bool key_pressed(control which, int key_code) override;
  void timer_ticked(timer which) override;
  void caret_placed(control box) override;
  void menu_chosen(control button, std::size_t entry) override;
  void resized(control window) override;

  // The same as writes of the output object: adds a message to the console.
  void writes(text_view message);

  frontend& front() { return fe_; }

  // The start-up task: names from "prefer.txt", preferences rewritten, panes
  // loaded, the "d" directory made, status file and console log deleted,
  // Timer2 started. Raises with "prepare_task_at_startup", CR LF, step label.
  void prepare_task_at_startup();
  // Writes "prefer.txt" from the three name boxes.
  void save_preferences();
  // Makes the three names of the boxes (or of the preferences, for an empty
  // box) the current full paths.
  void make_names_current();
  // Loads the schema and source panes from the current paths.
  void read_source_files();
  // The apply button: saves the three names and makes them current, unless
  // the result name names the schema's or the source's file; then a message
  // box names the clash, nothing is written and false is returned.
  bool apply();

 private:
  text assemble_preference(control name_box, text_view default_value, text_view key_name);
  void browse(control name_box);
  // Load: asks about names typed and not applied and about unsaved panes
  // first, unless the caller already settled both.
  void load_clicked(bool ask_first);
  // Names typed and not applied: asks whether to apply them first (Yes
  // applies, No drops them). False when the user cancelled or apply refused.
  bool settle_typed_names();
  // Puts the loaded pair first in the recent list, its file and its menu.
  void remember_loaded();
  // The file pane a control shows: the pane itself, or the editor's box
  // while it shows that pane.
  std::optional<file_pane> pane_at(control which) const;
  static control name_box_of(file_pane pane);
  // Puts a chosen file's name into a name box and applies it; when apply
  // refuses, the box gets its text back and false is returned.
  bool apply_name(control name_box, text_view path);
  // File, Open schema or Open source: settles the pane's unsaved edits, asks
  // for an existing file, applies its name and loads it into the pane.
  void open_file(file_pane pane);
  // Save As: asks for a name (the dialog asks before replacing a file),
  // applies it and writes the pane there.
  void save_as(file_pane pane);
  // The console pane, or the editor's box while it shows the console.
  bool shows_console(control box) const;
  // Asks about unsaved panes, then ends; a cancelled question ends nothing.
  void end_asking(bool with_status_line);
  void finish_program();
  void end_program();
  void timer1_tick();
  // Runs a handler; what it raises is reported with report_error_now(where).
  template <class Handler>
  void reporting(text_view where, Handler handler);

  frontend fe_;
};

}  // namespace zr
