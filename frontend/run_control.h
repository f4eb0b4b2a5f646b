// Run control: go, the run on Timer1, the mode polling on Timer2, the buttons
// that steer a running translation and the output object the engine writes to.
#pragma once

#include <string>

#include "common/text.h"
#include "engine/zrcomp.h"
#include "frontend/frontend_state.h"

namespace zr {

// The output object handed to the engine for one run: every engine message
// goes to the console.
class putout : public output_object {
 public:
  explicit putout(frontend& fe) : fe_(fe) {}
  void writes(const std::string& message) override;

 private:
  frontend& fe_;
};

// Paints a mode label: "is on" in blue on cyan, or "is off" in the system's
// button colours.
void show_mode_label(frontend& fe, bool on, control label);

// The go button: requests a run, drops the current engine and opens the
// console in the editor window. While a run is going it does nothing; when
// the result file is the schema's or the source's file, a message box names
// the clash and no run is requested.
void go(frontend& fe);

// What the front end does each time the engine yields during a run: grants
// step and debug mode asked for before go as the dialog begins, and runs the
// window's events (and refreshes the busy indicator) when the pacer's period
// has passed, or at once while the run waits for a step or is suspended.
void run_yields(frontend& fe);

// The run part of a Timer1 tick: when a run is requested and none is in
// progress, starts the console's separator line, disables go, translates the
// schema and source panes, shows the result (three empty header lines and the
// first CR LF dropped), writes it to the result file and paints the mode
// labels as the engine's modes stand. A run without a result leaves the result
// file as it was; the result pane says why and the console names the place.
// A platform error of the translation is reported here ("when in module
// Timer1") with that line; anything else that fails is raised. Either way the
// engine and the labels then stay as they are.
void run_requested_translation(frontend& fe);

// A Timer2 tick: paints the mode labels from a current engine and refreshes
// the console when its time has come.
void timer2_tick(frontend& fe);

// The mode buttons act on the running run. Without one (or before its dialog
// begins), debug switches the debug mode the next run starts with, step asks
// for step mode at the next run's start, and stop does nothing.
void debug_clicked(frontend& fe);
void steps_clicked(frontend& fe);
void suspend_clicked(frontend& fe);
void stop_clicked(frontend& fe);

}  // namespace zr
