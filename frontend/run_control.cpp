#include "frontend/run_control.h"

#include <algorithm>
#include <cmath>

#include "common/byte_order_mark.h"
#include "common/easylife.h"

#include "frontend/console.h"
#include "frontend/diagnostics.h"
#include "frontend/fileaux.h"
#include "frontend/frm_edit.h"
#include "frontend/pane_files.h"

namespace zr {

void putout::writes(const std::string& message) {
  zr::writes(fe_, from_utf8(message));
}

void show_mode_label(frontend& fe, bool on, control label) {
  if (on) {
    fe.ui.set_caption(label, U"is on");
    fe.ui.set_background(label, colour::rgb(0, 255, 255));
    fe.ui.set_text_colour(label, colour::rgb(0, 0, 255));
  } else {
    fe.ui.set_caption(label, U"is off");
    fe.ui.set_background(label, colour::button_face());
    fe.ui.set_text_colour(label, colour::button_text());
  }
}

namespace {

// The engine of the run in progress, else the one go left, else none.
std::shared_ptr<zrcomp> current_engine(const frontend& fe) {
  return fe.state.running ? fe.state.running : fe.state.engine;
}

// The labels as the modes stand: during a run the engine's modes and what is
// asked of its dialog; between runs what the next run starts with.
void paint_modes(frontend& fe, const zrcomp& engine) {
  const frontend_state& state = fe.state;
  show_mode_label(fe, state.steps_requested || engine.are_steps_on(), control::lblSteps);
  // Once granted, the engine's mode is the run's: the schema may change it.
  const bool waiting = state.debug_requested && !state.requests_granted;
  show_mode_label(fe, waiting || engine.is_debug_on(), control::lblDebug);
}

// True once the run reads its source: its dialog has set the modes from the
// schema, and what the user asked for before go may be granted.
bool dialog_begun(const zrcomp& engine) {
  return !engine.current_location().in_schema;
}

// Grants step and debug mode asked for before go as the dialog begins. The
// check reads the run's place, so it is made only while a request waits.
void grant_requests(frontend& fe, zrcomp& engine) {
  frontend_state& state = fe.state;
  if (state.requests_granted || (!state.steps_requested && !state.debug_requested)) return;
  if (!dialog_begun(engine)) return;
  state.requests_granted = true;
  if (state.steps_requested) engine.steps();
  if (state.debug_requested && !engine.is_debug_on()) engine.reset_debug();
  state.steps_requested = false;
}

text seconds_text(double seconds) {
  long long tenths = std::llround(std::max(0.0, seconds) * 10);
  return number_text(tenths / 10) + U"." + number_text(tenths % 10);
}

// What the run is doing, with its time and dialog steps so far; empty
// without a run.
text busy_caption(const frontend& fe) {
  if (!fe.state.running) return text();
  text doing = fe.state.running->are_steps_on() ? U"waiting for a step "
               : fe.state.suspended             ? U"suspended "
                                                : U"running ";
  return doing + seconds_text(fe.ui.time_of_day() - fe.state.run_started) + U" s, step " +
         number_text(fe.state.running->dialog_steps());
}

// A run without a result: the file keeps the last result, the pane says why,
// and the console gets the line that points to the place.
void report_no_result(frontend& fe, const zrcomp& engine) {
  std::optional<failure_location> where = engine.last_failure();
  text why = U"no result: ";
  why += where ? from_utf8(where->message) : text(U"the translation failed");
  why += U"\r\n`" + fe.state.result_path + U"` keeps its last result.";
  fe.ui.set_box_text(control::txtResult, why);
  if (where) console_now(fe, text(text_crlf) + failure_line(fe, *where) + text(text_crlf));
}

// The text of a pane as the engine takes it: a byte-order mark at its start is
// not part of the text, and the console says it was left out.
std::string engine_text(frontend& fe, control pane, text_view file) {
  std::string bytes = fe.ui.box_utf8(pane);
  if (remove_byte_order_mark(bytes))
    console_now(
        fe, from_utf8(diagnostic_line(to_utf8(file), 1, 1, "warning", "byte-order mark removed")) +
                text(text_crlf));
  return bytes;
}

void run_translation(frontend& fe, const std::shared_ptr<zrcomp>& engine) {
  frontend_state& state = fe.state;
  engine->give_write_method(state.out_object);
  const std::string schema = engine_text(fe, control::txtSchema, state.schema_file.path);
  const std::string source = engine_text(fe, control::txtSource, state.source_file.path);
  std::optional<std::string> result = engine->translate(schema, source);
  if (result) {
    // The result stays in UTF-8 from the engine to the file and the pane,
    // and is never copied: its size is the source's.
    std::string shown = std::move(*result);
    shown.erase(0, shown.size() - stripped_result(shown).size());
    try {
      write_report_f(state.result_path, shown);
    } catch (...) {
      // A result that cannot be written still shows in the pane.
      fe.ui.set_box_utf8(control::txtResult, std::move(shown));
      throw;
    }
    fe.ui.set_box_utf8(control::txtResult, std::move(shown));
  } else {
    report_no_result(fe, *engine);
  }
  // The closing line stands on a line of its own, whatever the run printed last.
  text finished = state.console_at_line_start ? text() : text(text_crlf);
  finished += U"---- run " + number_text(state.runs) + U" finished in " +
              seconds_text(fe.ui.time_of_day() - state.run_started) + U" s\r\n";
  console_now(fe, finished);
}

}  // namespace

void go(frontend& fe) {
  // One run at a time: the engine state belongs to the running run.
  if (fe.state.running) return;
  const frontend_state& state = fe.state;
  if (std::optional<text> clash =
          result_clash(fe, state.result_path, state.schema_path, state.source_path)) {
    fe.ui.message_box(*clash);
    return;
  }
  fe.state.run_requested = true;
  fe.state.engine.reset();
  open_editor(fe, editor_pane::console);
}

void run_requested_translation(frontend& fe) {
  frontend_state& state = fe.state;
  // A tick that arrives while the engine yields inside a run leaves the
  // request for the tick after that run: the thread has one engine state.
  if (!state.run_requested || state.running) return;
  state.run_requested = false;
  state.engine = std::make_shared<zrcomp>();
  state.out_object = std::make_shared<putout>(fe);
  // This reference keeps the object alive until translate returns.
  std::shared_ptr<zrcomp> engine = state.engine;
  ++state.runs;
  state.run_started = fe.ui.time_of_day();
  console_now(fe, U"\r\n---- run " + number_text(state.runs) + U" at " +
                      time_of_day_text(state.run_started) + U" ----\r\n");
  state.running = engine;
  state.suspended = false;
  state.requests_granted = false;
  fe.ui.set_enabled(control::cmdGo, false);
  fe.pacer.start();
  try {
    run_translation(fe, engine);
  } catch (...) {
    fe.pacer.stop();
    state.running.reset();
    fe.ui.set_enabled(control::cmdGo, true);
    std::optional<failure_location> where = engine->last_failure();
    if (!where) throw;
    // A platform error of the translation (an overflow, ...): reported as
    // Timer1 reports every error, then the line that points to its place.
    report_error_now(fe, caught_error(), U"when in module Timer1");
    console_now(fe, text(text_crlf) + failure_line(fe, *where) + text(text_crlf));
    return;
  }
  fe.pacer.stop();
  state.running.reset();
  fe.ui.set_enabled(control::cmdGo, true);
  fe.ui.set_caption(control::lblBusy, U"");
  // Each run sets step mode anew from its schema; the next run begins with
  // the debug mode the user chose last (a schema's own debug directives stay
  // with that schema).
  state.steps_requested = false;
  show_mode_label(fe, false, control::lblSteps);
  show_mode_label(fe, state.debug_requested, control::lblDebug);
  // The engine state outlives this run; it must not keep our output object.
  engine->give_write_method(nullptr);
  state.engine.reset();
  state.out_object.reset();
}

void run_yields(frontend& fe) {
  zrcomp* engine = fe.state.running.get();
  if (engine == nullptr) {
    fe.ui.process_pending_events();
    return;
  }
  grant_requests(fe, *engine);
  // A run waiting for a step or held by a suspension does nothing else: the
  // window's events run at once.
  if (!fe.pacer.due() && !engine->are_steps_on() && !engine->is_suspended()) return;
  fe.ui.set_caption(control::lblBusy, busy_caption(fe));
  fe.ui.process_pending_events();
}

void timer2_tick(frontend& fe) {
  if (std::shared_ptr<zrcomp> engine = current_engine(fe)) paint_modes(fe, *engine);
  if (refresh_due(fe)) refresh_console(fe);
  fe.ui.set_caption(control::lblBusy, busy_caption(fe));
  show_modified_markers(fe);
  // A box that waits for the user would hold the run: the notice waits for
  // the run's end.
  if (!fe.state.running) notice_changed_files(fe);
}

void debug_clicked(frontend& fe) {
  zrcomp* engine = fe.state.running.get();
  // Before a run's dialog begins, the press switches what it begins with.
  if (engine == nullptr || !dialog_begun(*engine)) {
    fe.state.debug_requested = !fe.state.debug_requested;
    show_mode_label(fe, fe.state.debug_requested, control::lblDebug);
    return;
  }
  fe.state.debug_requested = engine->reset_debug();
  show_mode_label(fe, fe.state.debug_requested, control::lblDebug);
}

void steps_clicked(frontend& fe) {
  zrcomp* engine = fe.state.running.get();
  // A schema read in step mode takes the grant at once.
  if (engine != nullptr && (engine->are_steps_on() || dialog_begun(*engine))) {
    engine->steps();
  } else {
    // A run sets the step mode from its schema as its dialog begins; the
    // request is granted then.
    fe.state.steps_requested = true;
  }
  show_mode_label(fe, true, control::lblSteps);
}

void suspend_clicked(frontend& fe) {
  fe.state.steps_requested = false;
  if (std::shared_ptr<zrcomp> engine = current_engine(fe)) {
    // Outside step mode the button holds or resumes the run.
    if (fe.state.running && !engine->are_steps_on()) fe.state.suspended = !fe.state.suspended;
    engine->suspend_dialog_and_schema();
  }
  show_mode_label(fe, false, control::lblSteps);
}

void stop_clicked(frontend& fe) {
  if (std::shared_ptr<zrcomp> engine = current_engine(fe)) engine->user_terminated();
}

}  // namespace zr
