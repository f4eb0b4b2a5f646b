#include "frontend/run_control.h"

#include "common/easylife.h"

#include "frontend/console.h"
#include "frontend/fileaux.h"
#include "frontend/frm_edit.h"

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

void go(frontend& fe) {
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
  // Go may drop state.engine while the run yields; this reference keeps the
  // object alive until translate returns.
  std::shared_ptr<zrcomp> engine = state.engine;
  engine->give_write_method(state.out_object);
  std::optional<std::string> result;
  state.running = engine;
  try {
    result = engine->translate(to_utf8(fe.ui.box_text(control::txtSchema)),
                               to_utf8(fe.ui.box_text(control::txtSource)));
  } catch (...) {
    state.running.reset();
    throw;
  }
  state.running.reset();
  text shown = stripped_result(result ? from_utf8(*result) : text());
  fe.ui.set_box_text(control::txtResult, shown);
  write_report_f(state.result_path, shown);
  show_mode_label(fe, false, control::lblSteps);
  show_mode_label(fe, false, control::lblDebug);
  // The engine state outlives this run; it must not keep our output object.
  engine->give_write_method(nullptr);
  state.engine.reset();
  state.out_object.reset();
}

void timer2_tick(frontend& fe) {
  if (fe.state.engine) {
    show_mode_label(fe, fe.state.engine->are_steps_on(), control::lblSteps);
    show_mode_label(fe, fe.state.engine->is_debug_on(), control::lblDebug);
  }
  if (refresh_due(fe)) refresh_console(fe);
}

void debug_clicked(frontend& fe) {
  if (fe.state.engine) show_mode_label(fe, fe.state.engine->reset_debug(), control::lblDebug);
}

void steps_clicked(frontend& fe) {
  if (!fe.state.engine) return;
  fe.state.engine->steps();
  show_mode_label(fe, true, control::lblSteps);
}

void suspend_clicked(frontend& fe) {
  if (fe.state.engine) fe.state.engine->suspend_dialog_and_schema();
  show_mode_label(fe, false, control::lblSteps);
}

void stop_clicked(frontend& fe) {
  if (fe.state.engine) fe.state.engine->user_terminated();
}

}  // namespace zr
