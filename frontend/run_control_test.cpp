#include "frontend/run_control.h"

#include <gtest/gtest.h>

#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::front_end_test;

class RunControl : public front_end_test {
 protected:
  void SetUp() override { start(); }
  void paint_labels_on() {
    show_mode_label(fe(), true, control::lblDebug);
    show_mode_label(fe(), true, control::lblSteps);
  }
};

TEST_F(RunControl, ModeLabelsArePaintedAsData) {
  show_mode_label(fe(), true, control::lblDebug);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  EXPECT_EQ(ui.backgrounds[control::lblDebug], colour::rgb(0, 255, 255));
  EXPECT_EQ(ui.text_colours[control::lblDebug], colour::rgb(0, 0, 255));
  show_mode_label(fe(), false, control::lblDebug);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  EXPECT_EQ(ui.backgrounds[control::lblDebug], colour::button_face());
  EXPECT_EQ(ui.text_colours[control::lblDebug], colour::button_text());
}

TEST_F(RunControl, WithoutARunDebugAndStepSetTheNextRunsModes) {
  ui.press(control::cmdDebug);
  EXPECT_TRUE(fe().state.debug_requested);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  ui.press(control::cmdDebug);
  EXPECT_FALSE(fe().state.debug_requested);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  ui.press(control::cmdSteps);
  EXPECT_TRUE(fe().state.steps_requested);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is on");
  ui.press(control::cmdStop);
  // Suspend/resume takes the request back and paints the step label off.
  ui.press(control::cmdSuspend);
  EXPECT_FALSE(fe().state.steps_requested);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is off");
}

TEST_F(RunControl, GoRequestsARunAndOpensTheConsoleInTheEditor) {
  ui.press(control::cmdGo);
  EXPECT_TRUE(fe().state.run_requested);
  EXPECT_EQ(fe().editor.current_text, U"console");
  EXPECT_TRUE(ui.is_visible(control::frmEdit));
}

TEST_F(RunControl, AFailedRunKeepsTheResultFileAndPointsToThePlace) {
  ui.set_box_text(control::txtSchema, U"no schema here");
  ui.set_box_text(control::txtResult, U"old result");
  testing::put_file(home / "d/zrresult.txt", "old result");
  paint_labels_on();
  ui.press(control::cmdGo);
  ui.advance_clock(0.1);
  ui.advance_clock(0.3);
  EXPECT_FALSE(fe().state.run_requested);
  EXPECT_NE(console().find(U"\r\nin \"translate\" module\r\n2048 * "), text::npos);
  EXPECT_NE(console().find(U"\r\n" + fe().state.schema_file.path + U":1:1: error: "), text::npos);
  EXPECT_EQ(ui.box_text(control::txtEdit), console());
  EXPECT_EQ(ui.box_text(control::txtResult).substr(0, 11), U"no result: ");
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "old result");
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  EXPECT_EQ(ui.caption(control::lblSteps), U"is off");
  EXPECT_TRUE(ui.is_enabled(control::cmdGo));
  EXPECT_EQ(fe().state.engine, nullptr);
  EXPECT_EQ(fe().state.out_object, nullptr);
  EXPECT_EQ(file_bytes(home / "d/zrout.txt"), to_utf8(console()));
}

TEST_F(RunControl, AByteOrderMarkIsLeftOutOfTheTranslation) {
  ui.set_box_text(control::txtSchema,
                  U"\uFEFF\\\\schema t\r\n-r\r\n  _hello `Hi` 1 -e\r\n\\\\end schema\r\n"
                  U"\\\\end file\r\n");
  ui.set_box_text(control::txtSource, U"\uFEFFhello");
  ui.press(control::cmdGo);
  ui.advance_clock(0.1);
  ui.advance_clock(0.3);
  EXPECT_EQ(ui.box_text(control::txtResult), U"Hi");
  for (const text& file : {fe().state.schema_file.path, fe().state.source_file.path})
    EXPECT_NE(console().find(file + U":1:1: warning: byte-order mark removed\r\n"), text::npos);
}

TEST_F(RunControl, AnUnwritableResultFileIsReportedAndKeepsTheEngine) {
  ui.set_box_text(control::txtSchema,
                  U"\\\\schema main\r\n-r\r\n  .eot `` 1 -e\r\n\\\\end schema\r\n\\\\end file\r\n");
  fe().state.result_path = home / "nowhere/zrresult.txt";
  paint_labels_on();
  ui.press(control::cmdGo);
  ui.advance_clock(0.1);
  text expected_tail = U"\r\nNo such file or directory\r\nerror when open a file `" +
                       (home / "nowhere/zrresult.txt") + U"`\r\nEXCEPTION 76 when in module Timer1";
  text shown = console();
  ASSERT_GE(shown.size(), expected_tail.size());
  EXPECT_EQ(shown.substr(shown.size() - expected_tail.size()), expected_tail);
  EXPECT_TRUE(ui.is_enabled(control::cmdGo));
  EXPECT_TRUE(ui.is_visible(control::lbllblException));
  EXPECT_NE(fe().state.engine, nullptr);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  // The next go drops the engine.
  ui.press(control::cmdGo);
  EXPECT_EQ(fe().state.engine, nullptr);
}

TEST_F(RunControl, TimerTwoPaintsTheEngineModesDuringARun) {
  fe().state.engine = std::make_shared<zrcomp>();
  fe().state.engine->steps();
  ui.tick(timer::Timer2);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is on");
  ui.press(control::cmdSuspend);  // leaves step mode
  ui.tick(timer::Timer2);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is off");
  ui.press(control::cmdDebug);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  ui.tick(timer::Timer2);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  ui.press(control::cmdDebug);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  // Without a run, step asks the next run to begin in step mode.
  ui.press(control::cmdSteps);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is on");
  EXPECT_TRUE(fe().state.steps_requested);
  ui.press(control::cmdSuspend);
  EXPECT_FALSE(fe().state.steps_requested);
}

}  // namespace
}  // namespace zr
