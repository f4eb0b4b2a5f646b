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
// console in the editor window.
void go(frontend& fe);

// The run part of a Timer1 tick: when a run is requested and none is in
// progress, translates the schema and source panes, shows the result (three
// empty header lines and the first CR LF dropped), writes it to the result
// file and paints the mode labels off. Raises what fails; the engine and the
// labels then stay as they are.
void run_requested_translation(frontend& fe);

// A Timer2 tick: paints the mode labels from a current engine and refreshes
// the console when its time has come.
void timer2_tick(frontend& fe);

// The mode buttons; without an engine debug, step and stop do nothing.
void debug_clicked(frontend& fe);
void steps_clicked(frontend& fe);
void suspend_clicked(frontend& fe);
void stop_clicked(frontend& fe);

}  // namespace zr
