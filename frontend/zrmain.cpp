#include "frontend/zrmain.h"

#include <cstdlib>
#include <utility>

#include "common/easylife.h"
#include "common/errors.h"
#include "frontend/console.h"
#include "frontend/fileaux.h"
#include "frontend/frm_edit.h"
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
    U"debug modes can be set in schema;\r\n";

const text_view open_schema_message =
    U"double click on some windows opens/closes them for work ...\r\n"
    U"`Esc` SAVES opened window content back to a small window (not escapes) ... ";

const std::vector<std::pair<control, text_view>>& static_captions() {
  static const std::vector<std::pair<control, text_view>> captions{
      {control::cmdBrowse0, U"..."},
      {control::cmdBrowse1, U"..."},
      {control::cmdBrowse2, U"..."},
      {control::cmdSaveSchema, U"save"},
      {control::cmdSaveSource, U"save"},
      {control::cmdSavePreferences, U"&apply"},
      {control::cmdRestoreNames, U"&read preferences"},
      {control::cmdLoad, U"&load"},
      {control::cmdOpenSchema, U"<>"},
      {control::cmdGo, U"&go"},
      {control::cmdDebug, U"debug"},
      {control::cmdSteps, U"step"},
      {control::cmdSuspend, U"&suspend/resume"},
      {control::cmdStop, U"stop"},
      {control::lblDebug, U"is off"},
      {control::lblSteps, U"are off"},
      {control::cmdClearConsole, U"clear"},
      {control::lbllblException, U" exception"},
      {control::cmdException, U"clear "},
      {control::cmdHelp, U"&help"},
      {control::cmdDemo, U"about"},
      {control::btnEnd, U"&end"},
  };
  return captions;
}

namespace {

const text_view default_schema = U"example/vbs_c/s.txt";
const text_view default_source = U"example/vbs_c/reallife.inc";
const text_view default_result = U"d/zrresult.txt";
const text_view prefs_name = U"prefer.txt";

const text_view about_text =
    U"zorvex\r\n"
    U"a schema-driven text translator: it translates a source text under the rules of a "
    U"schema.";

text trim_blanks(text_view value) {
  std::size_t first = value.find_first_not_of(U' ');
  if (first == text_view::npos) return text();
  std::size_t last = value.find_last_not_of(U' ');
  return text(value.substr(first, last - first + 1));
}

bool in_editor_window(control which) {
  return which == control::frmEdit || which == control::txtEdit;
}

}  // namespace

command_line_names read_command_line(text_view command_line) {
  text rest;
  text first = split_first(trim_blanks(command_line), U' ', rest);
  text third;
  text second = split_first(trim_blanks(rest), U' ', third);
  command_line_names names;
  names.schema_path = trim_blanks(first);
  names.source_path = trim_blanks(second);
  third = trim_blanks(third);
  // Without a blank the whole text lands in the rest: one word is the source.
  if (names.source_path.empty()) names.source_path = third;
  if (names.source_path.empty()) names.source_path = default_source;
  if (names.schema_path.empty()) names.schema_path = default_schema;
  names.unattended = third.find(U"no_gui") != text::npos;
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
    command_line_names names = read_command_line(ui.command_line());
    state.schema_path = names.schema_path;
    state.source_path = names.source_path;
    state.unattended = names.unattended;
    if (state.unattended) ui.set_visible(control::zrmain, false);
    state.next_refresh = ui.time_of_day();
    ui.set_timer_interval(timer::Timer1, 100);
    for (const auto& [which, caption] : static_captions())
      ui.set_caption(which, caption);
    ui.set_box_text(control::txtHelp, help_text);
    ui.set_background(control::lbllblException, colour::rgb(255, 0, 0));
    ui.set_visible(control::lbllblException, false);
    ui.set_visible(control::cmdException, false);
    // The engine yields to the window's events while it translates.
    set_event_pump([&ui] { ui.process_pending_events(); });
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
}

void zrmain::read_source_files() {
  fe_.ui.set_box_text(control::txtSchema, read_f(fe_.state.schema_path));
  fe_.ui.set_box_text(control::txtSource, read_f(fe_.state.source_path));
}

void zrmain::browse(control name_box, const text& current_path) {
  std::optional<text> chosen = fe_.ui.open_file_dialog(current_path);
  // A cancelled dialog keeps the name it started with.
  fe_.ui.set_box_text(name_box, chosen ? *chosen : current_path);
}

void zrmain::save_pane(control pane, const text& path) {
  // write_f replaces the file whole; the old file stays when writing fails.
  write_f(path, fe_.ui.box_text(pane));
}

void zrmain::load_clicked() {
  try {
    for (control box : {control::txtSchemaFile, control::txtSourceFile, control::txtResultFile})
      fe_.ui.set_box_text(box, U"");
    make_names_current();
    read_source_files();
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

void zrmain::end_program() {
  // A run waiting in step mode or suspension would never return on its own.
  if (fe_.state.running) fe_.state.running->user_terminated();
  fe_.ui.end_program();
}

void zrmain::clicked(control button) {
  frontend_state& state = fe_.state;
  switch (button) {
    case control::cmdSavePreferences:
      reporting(U"", [&] {
        save_preferences();
        make_names_current();
      });
      break;
    case control::cmdRestoreNames:
      reporting(U"when in module cmdRestoreNames", [&] {
        for (control box : {control::txtSchemaFile, control::txtSourceFile, control::txtResultFile})
          fe_.ui.set_box_text(box, U"");
        make_names_current();
      });
      break;
    case control::cmdLoad:
      load_clicked();
      break;
    case control::cmdBrowse0:
      reporting(U"when in module cmdBrowse",
                [&] { browse(control::txtSchemaFile, state.schema_path); });
      break;
    case control::cmdBrowse1:
      reporting(U"when in module cmdBrowse",
                [&] { browse(control::txtSourceFile, state.source_path); });
      break;
    case control::cmdBrowse2:
      reporting(U"when in module cmdBrowse",
                [&] { browse(control::txtResultFile, state.result_path); });
      break;
    case control::cmdSaveSchema:
      reporting(U"", [&] { save_pane(control::txtSchema, state.schema_path); });
      break;
    case control::cmdSaveSource:
      reporting(U"", [&] { save_pane(control::txtSource, state.source_path); });
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
      fe_.ui.message_box(about_text);
      break;
    case control::btnEnd:
      finish_program();
      end_program();
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
  if (in_editor_window(which)) return editor_key_pressed(fe_, key_code);
  if (key_code != key_escape) return false;
  // Esc in the main window ends at once, without the end line.
  end_program();
  return true;
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
