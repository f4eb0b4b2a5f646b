#include "frontend/zrmain.h"

#include <cstdlib>
#include <utility>

#include "common/easylife.h"
#include "common/errors.h"
#include "frontend/console.h"
#include "frontend/diagnostics.h"
#include "frontend/fileaux.h"
#include "frontend/frm_edit.h"
#include "frontend/pane_files.h"
#include "frontend/run_control.h"

namespace zr {

const text_view help_text =
    U"apply - saves schema, source, result file names and makes them current; \r\n"
    U"read preferences - restores saved schema, source, result file names and makes them "
    U"current;\r\n"
    U"\r\n"
    U"usual working sequence 1) when you start:\r\n"
    U"        select your preferences, apply, load, go;\r\n"
    U"2) when you made changes:\r\n"
    U"        save, go;   \r\n"
    U"\r\n"
    U"to increase size of corresponding text box: double-click it;\r\n"
    U"to decrease size - double-click it or press Esc;\r\n"
    U"to save when size is increased, it must be first decreased and then saved;\r\n"
    U"\r\n"
    U"\r\n"
    U"debug modes can be set in schema;\r\n"
    U"\r\n"
    U"the run buttons:\r\n"
    U"        go (F5) - translates the schema and source panes; disabled while a run goes;\r\n"
    U"        debug - switches debug output on or off, also before go;\r\n"
    U"        step - step mode: each press grants one dialog step; before go the run "
    U"starts in it;\r\n"
    U"        suspend/resume - leaves step mode, or holds and resumes the run;\r\n"
    U"        stop (Shift+F5) - stops the running run; the result file keeps its last "
    U"result;\r\n"
    U"F5 (go) and Shift+F5 (stop), Alt+G (go) and Alt+S (suspend/resume) work from the "
    U"editor window too;\r\n"
    U"click or Enter on a FILE:LINE:COLUMN line of the console, in the pane or the editor "
    U"window, selects that place;\r\n"
    U"Ctrl+S saves the pane you work in, from either window; Ctrl+Shift+S saves it under a new "
    U"name;\r\n"
    U"Ctrl+G goes to a line; Ctrl+F finds, F3 again; Ctrl+H replaces, asking at each match;\r\n"
    U"the menus File, Edit, Run and Help hold these commands, and open the guide;\r\n"
    U"\r\n"
    U"names in prefer.txt come before the names of the command line;\r\n"
    U"the guide: docs/guide.md\r\n";

const text_view typed_names_question =
    U"The name boxes hold names that were typed and not applied.\r\n"
    U"Apply them before loading? (No loads the names last applied.)";

const text_view open_schema_message =
    U"double click on some windows opens/closes them for work ...\r\n"
    U"`Esc` SAVES opened window content back to a small window (not escapes) ... ";

namespace {

const text_view default_schema = U"example/vbs_c/s.txt";
const text_view default_source = U"example/vbs_c/reallife.inc";
const text_view default_result = U"d/zrresult.txt";
const text_view prefs_name = U"prefer.txt";
const text_view recent_name = U"recent.txt";

text about_text() {
  text about = U"zorvex " + from_utf8(ZORVEX_VERSION);
  about +=
      U"\r\na schema-driven text translator: it translates a source text under the rules "
      U"of a schema.";
  return about;
}

text trim_blanks(text_view value) {
  std::size_t first = value.find_first_not_of(U' ');
  if (first == text_view::npos) return text();
  std::size_t last = value.find_last_not_of(U' ');
  return text(value.substr(first, last - first + 1));
}

// The name boxes, in the order of current_names.
constexpr std::array<control, 3> name_boxes{control::txtSchemaFile, control::txtSourceFile,
                                            control::txtResultFile};

bool in_editor_window(control which) {
  return which == control::frmEdit || which == control::txtEdit;
}

}  // namespace

command_line_names read_command_line(const std::vector<text>& arguments) {
  command_line_names names;
  // One argument is the source; the last of one or two also carries "no_gui".
  if (arguments.size() == 1) {
    names.source_path = arguments[0];
  } else if (arguments.size() >= 2) {
    names.schema_path = arguments[0];
    names.source_path = arguments[1];
  }
  const std::size_t first_option = arguments.size() <= 2 ? arguments.size() - 1 : 2;
  for (std::size_t k = first_option; k < arguments.size(); ++k)
    if (arguments[k].find(U"no_gui") != text::npos) names.unattended = true;
  if (names.source_path.empty()) names.source_path = default_source;
  if (names.schema_path.empty()) names.schema_path = default_schema;
  return names;
}

text preference(text_view prefs_text, text_view default_value, text_view key_name) {
  std::size_t key = prefs_text.find(key_name);
  if (key == text_view::npos) return text(default_value);
  std::size_t start = key + key_name.size();
  std::size_t end = prefs_text.find(U'\n', start);
  text value(prefs_text.substr(start, end == text_view::npos ? text_view::npos : end - start));
  std::erase(value, U'\r');
  return trim_blanks(value);
}

text choose_app_dir(text_view program_directory, const char* home) {
  if (home != nullptr && *home != '\0') return with_backslash(from_utf8(home));
  return with_backslash(program_directory);
}

zrmain::zrmain(toolkit& ui) : fe_(ui) {
  try {
    frontend_state& state = fe_.state;
    state.app_dir = choose_app_dir(ui.program_directory(), std::getenv("ZORVEX_HOME"));
    command_line_names names = read_command_line(ui.arguments());
    state.schema_path = names.schema_path;
    state.source_path = names.source_path;
    state.unattended = names.unattended;
    if (state.unattended) ui.set_visible(control::zrmain, false);
    state.next_refresh = ui.time_of_day();
    ui.set_timer_interval(timer::Timer1, 100);
    for (control which : all_controls)
      if (std::optional<text_view> caption = fixed_caption(which)) ui.set_caption(which, *caption);
    ui.set_box_text(control::txtHelp, help_text);
    ui.set_background(control::lbllblException, colour::rgb(255, 0, 0));
    ui.set_visible(control::lbllblException, false);
    ui.set_visible(control::cmdException, false);
    // The engine yields to the window's events while it translates.
    set_event_pump([this] { run_yields(fe_); });
  } catch (...) {
    engine_error error = caught_error();
    text message = U"top_level_error_handling in initialize: \r\n";
    message += number_text(error.number());
    message += text_crlf;
    message += error.description();
    ui.message_box(message);
    ui.end_program();
  }
}

zrmain::~zrmain() {
  set_event_pump(nullptr);
}

void zrmain::writes(text_view message) {
  zr::writes(fe_, message);
}

void zrmain::load() {
  if (!fe_.state.unattended) fe_.ui.set_visible(control::zrmain, true);
  fe_.ui.set_timer_enabled(timer::Timer1, true);
}

template <class Handler>
void zrmain::reporting(text_view where, Handler handler) {
  try {
    handler();
  } catch (...) {
    report_error_now(fe_, caught_error(), where);
  }
}

void zrmain::prepare_task_at_startup() {
  frontend_state& state = fe_.state;
  text step = U"read preferences";
  try {
    state.prefs_text = read_f(state.app_dir + text(prefs_name));
    make_names_current();
    save_preferences();
    read_source_files();
    state.recent = parse_recent(read_f(state.app_dir + text(recent_name)));
    remember_loaded();
    ensure_directory(state.app_dir + U"d");
    state.status_path = state.app_dir + U"d/zrstatus.txt";
    state.log_path = state.app_dir + U"d/zrout.txt";
    step = U"delete files";
    delete_f(state.status_path);
    delete_f(state.log_path);
    fe_.ui.set_timer_interval(timer::Timer1, 100);
    fe_.ui.set_timer_interval(timer::Timer2, 300);
    fe_.ui.set_timer_enabled(timer::Timer2, true);
  } catch (...) {
    raise_with_context(U"prepare_task_at_startup\r\n" + step);
  }
}

void zrmain::save_preferences() {
  text prefs = U"schema=" + fe_.ui.box_text(control::txtSchemaFile);
  prefs += text_crlf;
  prefs += U"source=" + fe_.ui.box_text(control::txtSourceFile);
  prefs += text_crlf;
  prefs += U"result=" + fe_.ui.box_text(control::txtResultFile);
  fe_.state.prefs_text = prefs;
  write_f(fe_.state.app_dir + text(prefs_name), prefs);
}

text zrmain::assemble_preference(control name_box, text_view default_value, text_view key_name) {
  if (fe_.ui.box_text(name_box).empty())
    fe_.ui.set_box_text(name_box, preference(fe_.state.prefs_text, default_value, key_name));
  return full_path(fe_.ui.box_text(name_box), fe_.state.app_dir);
}

void zrmain::make_names_current() {
  frontend_state& state = fe_.state;
  state.schema_path = assemble_preference(control::txtSchemaFile, state.schema_path, U"schema=");
  state.source_path = assemble_preference(control::txtSourceFile, state.source_path, U"source=");
  // The result's default is always the relative name, never the last path.
  state.result_path = assemble_preference(control::txtResultFile, default_result, U"result=");
  for (std::size_t k = 0; k < name_boxes.size(); ++k)
    state.current_names[k] = fe_.ui.box_text(name_boxes[k]);
}

bool zrmain::settle_typed_names() {
  bool typed = false;
  for (std::size_t k = 0; k < name_boxes.size(); ++k)
    typed = typed || fe_.ui.box_text(name_boxes[k]) != fe_.state.current_names[k];
  if (!typed) return true;
  switch (fe_.ui.ask_yes_no_cancel(typed_names_question)) {
    case answer::cancel:
      return false;
    case answer::no:
      return true;
    case answer::yes:
      break;
  }
  return apply();
}

bool zrmain::apply() {
  auto named = [this](control box) { return full_path(fe_.ui.box_text(box), fe_.state.app_dir); };
  if (std::optional<text> clash =
          result_clash(fe_, named(control::txtResultFile), named(control::txtSchemaFile),
                       named(control::txtSourceFile))) {
    fe_.ui.message_box(*clash);
    return false;
  }
  save_preferences();
  make_names_current();
  return true;
}

void zrmain::read_source_files() {
  for (file_pane pane : file_panes)
    load_pane(fe_, pane);
  show_modified_markers(fe_);
}

void zrmain::browse(control name_box) {
  // The dialog starts at the name as typed, resolved as the program resolves it.
  std::optional<text> chosen =
      fe_.ui.open_file_dialog(full_path(fe_.ui.box_text(name_box), fe_.state.app_dir));
  // A cancelled dialog leaves the box as typed; a picked file inside the home
  // folder is kept relative, as the default names are.
  if (chosen) fe_.ui.set_box_text(name_box, relative_name(*chosen, fe_.state.app_dir));
}

void zrmain::load_clicked(bool ask_first) {
  frontend_state& state = fe_.state;
  try {
    if (ask_first && (!settle_typed_names() || !settle_unsaved(fe_))) return;
    // Kept so that a name that does not exist changes nothing.
    const text paths[] = {state.schema_path, state.source_path, state.result_path};
    const std::array<text, 3> current_names = state.current_names;
    std::array<text, 3> typed;
    for (std::size_t k = 0; k < name_boxes.size(); ++k) {
      typed[k] = fe_.ui.box_text(name_boxes[k]);
      fe_.ui.set_box_text(name_boxes[k], U"");
    }
    make_names_current();
    for (const text& path : {state.schema_path, state.source_path}) {
      if (file_exists_f(path)) continue;
      for (std::size_t k = 0; k < typed.size(); ++k)
        fe_.ui.set_box_text(name_boxes[k], typed[k]);
      state.current_names = current_names;
      state.schema_path = paths[0];
      state.source_path = paths[1];
      state.result_path = paths[2];
      text description = platform_error_description(error_number::file_not_found);
      description += text_crlf;
      description += U"`" + path + U"` does not exist; nothing was loaded";
      raise_error(description, error_number::file_not_found);
    }
    read_source_files();
    remember_loaded();
  } catch (...) {
    engine_error error = caught_error();
    text report = fe_.ui.box_text(control::txtConsole);
    report += U"EXCEPTION when in module cmdLoad_Click\r\n";
    report += number_text(error.number());
    report += text_crlf;
    report += error.description();
    fe_.ui.set_box_text(control::txtConsole, report);
  }
}

void zrmain::finish_program() {
  try {
    refresh_console(fe_);
    write_report_f(fe_.state.status_path, U"end," + time_stamp(fe_.ui.time_of_day()) + U"at ");
  } catch (...) {
    // The program ends in any case.
  }
}

void zrmain::end_asking(bool with_status_line) {
  bool settled = false;
  reporting(U"", [&] { settled = settle_unsaved(fe_); });
  if (!settled) return;
  if (with_status_line) finish_program();
  end_program();
}

void zrmain::end_program() {
  // A run waiting in step mode or suspension would never return on its own.
  if (fe_.state.running) fe_.state.running->user_terminated();
  fe_.ui.end_program();
}

void zrmain::clicked(control button) {
  switch (button) {
    case control::cmdSavePreferences:
      reporting(U"", [&] { apply(); });
      break;
    case control::cmdRestoreNames:
      reporting(U"when in module cmdRestoreNames", [&] {
        for (control box : {control::txtSchemaFile, control::txtSourceFile, control::txtResultFile})
          fe_.ui.set_box_text(box, U"");
        make_names_current();
      });
      break;
    case control::cmdLoad:
      load_clicked(true);
      break;
    case control::cmdBrowse0:
      reporting(U"when in module cmdBrowse", [&] { browse(control::txtSchemaFile); });
      break;
    case control::cmdBrowse1:
      reporting(U"when in module cmdBrowse", [&] { browse(control::txtSourceFile); });
      break;
    case control::cmdBrowse2:
      reporting(U"when in module cmdBrowse", [&] { browse(control::txtResultFile); });
      break;
    case control::cmdSaveSchema:
      reporting(U"", [&] { save_pane(fe_, file_pane::schema); });
      break;
    case control::cmdSaveSource:
      reporting(U"", [&] { save_pane(fe_, file_pane::source); });
      break;
    case control::cmdOpenSchema:
      fe_.ui.message_box(open_schema_message);
      open_editor(fe_, editor_pane::schema);
      break;
    case control::cmdGo:
      go(fe_);
      break;
    case control::cmdDebug:
      debug_clicked(fe_);
      break;
    case control::cmdSteps:
      steps_clicked(fe_);
      break;
    case control::cmdSuspend:
      suspend_clicked(fe_);
      break;
    case control::cmdStop:
      stop_clicked(fe_);
      break;
    case control::cmdClearConsole:
      fe_.ui.set_box_text(control::txtConsole, U"");
      break;
    case control::cmdException:
      fe_.ui.set_visible(control::lbllblException, false);
      fe_.ui.set_visible(control::cmdException, false);
      break;
    case control::cmdHelp:
      fe_.ui.message_box(fe_.ui.box_text(control::txtHelp));
      break;
    case control::cmdDemo:
      fe_.ui.message_box(about_text());
      break;
    case control::btnEnd:
      end_asking(true);
      break;
    case control::mnuOpenSchema:
      reporting(U"", [&] { open_file(file_pane::schema); });
      break;
    case control::mnuOpenSource:
      reporting(U"", [&] { open_file(file_pane::source); });
      break;
    default:
      break;
  }
}

void zrmain::double_clicked(control which) {
  switch (which) {
    case control::txtSchema:
      open_editor(fe_, editor_pane::schema);
      break;
    case control::txtSource:
      open_editor(fe_, editor_pane::source);
      break;
    case control::txtResult:
      open_editor(fe_, editor_pane::result);
      break;
    case control::txtConsole:
      open_editor(fe_, editor_pane::console);
      break;
    case control::txtEdit:
    case control::frmEdit:
      close_editor(fe_);
      break;
    default:
      break;
  }
}

bool zrmain::key_pressed(control which, int key_code) {
  if (key_code == key_save || key_code == key_save_as) {
    std::optional<file_pane> pane = pane_at(which);
    if (!pane) return true;
    if (key_code == key_save) {
      reporting(U"", [&] { save_pane(fe_, *pane); });
    } else {
      reporting(U"", [&] { save_as(*pane); });
    }
    return true;
  }
  // Enter on a console line opens its place and leaves the log as it is.
  if (key_code == key_enter && shows_console(which)) {
    go_to_diagnostic(fe_, which);
    return true;
  }
  if (in_editor_window(which)) return editor_key_pressed(fe_, key_code);
  if (key_code != key_escape) return false;
  // Esc in the main window ends without the end line, once nothing unsaved
  // would be lost.
  end_asking(false);
  return true;
}

std::optional<file_pane> zrmain::pane_at(control which) const {
  std::optional<file_pane> pane = file_pane_of(which);
  if (in_editor_window(which)) {
    if (fe_.editor.current_text == U"schema") pane = file_pane::schema;
    if (fe_.editor.current_text == U"source") pane = file_pane::source;
  }
  return pane;
}

control zrmain::name_box_of(file_pane pane) {
  return pane == file_pane::schema ? control::txtSchemaFile : control::txtSourceFile;
}

bool zrmain::apply_name(control name_box, text_view path) {
  const text previous = fe_.ui.box_text(name_box);
  fe_.ui.set_box_text(name_box, relative_name(path, fe_.state.app_dir));
  if (apply()) return true;
  fe_.ui.set_box_text(name_box, previous);
  return false;
}

void zrmain::open_file(file_pane pane) {
  if (!settle_unsaved(fe_, pane)) return;
  const control name_box = name_box_of(pane);
  std::optional<text> chosen =
      fe_.ui.open_file_dialog(full_path(fe_.ui.box_text(name_box), fe_.state.app_dir));
  if (!chosen) return;
  if (!file_exists_f(*chosen)) {
    fe_.ui.message_box(U"`" + *chosen + U"` does not exist; nothing was opened.");
    return;
  }
  if (!apply_name(name_box, *chosen)) return;
  load_pane(fe_, pane);
  remember_loaded();
  show_modified_markers(fe_);
}

void zrmain::save_as(file_pane pane) {
  const control name_box = name_box_of(pane);
  std::optional<text> chosen =
      fe_.ui.save_file_dialog(full_path(fe_.ui.box_text(name_box), fe_.state.app_dir));
  if (!chosen || !apply_name(name_box, *chosen)) return;
  save_pane_to(fe_, pane, full_path(*chosen, fe_.state.app_dir));
  show_modified_markers(fe_);
}

void zrmain::remember_loaded() {
  frontend_state& state = fe_.state;
  state.recent = with_recent(state.recent, {fe_.ui.box_text(control::txtSchemaFile),
                                            fe_.ui.box_text(control::txtSourceFile)});
  std::vector<text> entries;
  for (const file_pair& pair : state.recent)
    entries.push_back(recent_caption(pair));
  fe_.ui.set_menu(control::cmdRecent, entries);
  write_f(state.app_dir + text(recent_name), recent_text(state.recent));
}

void zrmain::menu_chosen(control button, std::size_t entry) {
  if (button != control::cmdRecent || entry >= fe_.state.recent.size()) return;
  const file_pair pair = fe_.state.recent[entry];
  reporting(U"", [&] {
    if (!settle_unsaved(fe_)) return;
    // The pair is applied and loaded as typed names are; when one of its
    // files is gone, nothing changes.
    for (const text& name : {pair.schema, pair.source}) {
      if (!file_exists_f(full_path(name, fe_.state.app_dir))) {
        text description = platform_error_description(error_number::file_not_found);
        description += text_crlf;
        description += U"`" + name + U"` does not exist; nothing was loaded";
        raise_error(description, error_number::file_not_found);
      }
    }
    fe_.ui.set_box_text(control::txtSchemaFile, pair.schema);
    fe_.ui.set_box_text(control::txtSourceFile, pair.source);
    save_preferences();
    load_clicked(false);
  });
}

void zrmain::caret_placed(control box) {
  if (shows_console(box)) go_to_diagnostic(fe_, box);
}

bool zrmain::shows_console(control box) const {
  return box == control::txtConsole ||
         (box == control::txtEdit && fe_.editor.current_text == U"console");
}

void zrmain::timer_ticked(timer which) {
  if (which == timer::Timer1) {
    timer1_tick();
  } else {
    reporting(U"when in module Timer2", [&] { timer2_tick(fe_); });
  }
}

void zrmain::timer1_tick() {
  reporting(U"when in module Timer1", [&] {
    if (fe_.state.startup_pending) {
      fe_.state.startup_pending = false;
      prepare_task_at_startup();
    }
    run_requested_translation(fe_);
  });
}

void zrmain::resized(control window) {
  if (window == control::frmEdit) adjust_size(fe_);
}

}  // namespace zr
