// Whole sessions through the fake toolkit against the real engine.
#include <gtest/gtest.h>

#include <chrono>

#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::front_end_test;
using testing::put_file;

// A schema whose run prints "Hi" for the keyword hello.
std::string hello_schema(std::string_view header = "") {
  std::string schema(header);
  schema +=
      "\\\\schema main\r\n"
      "-r\r\n"
      "  _hello `Hi` 1 -e\r\n"
      "\\\\end schema\r\n"
      "\\\\end file\r\n";
  return schema;
}

class Session : public front_end_test {
 protected:
  void SetUp() override {
    put_file(home / "example/vbs_c/s.txt", hello_schema());
    put_file(home / "example/vbs_c/reallife.inc", "hello");
  }
  // Presses go and lets Timer1 run the translation.
  void go_and_run() {
    ui.press(control::cmdGo);
    ui.advance_clock(0.1);
  }
};

TEST_F(Session, StartLoadGoShowsAndWritesTheResult) {
  start();
  EXPECT_TRUE(testing::file_exists(home / "prefer.txt"));
  ui.press(control::cmdLoad);
  ASSERT_EQ(ui.box_text(control::txtSource), U"hello");
  go_and_run();
  EXPECT_EQ(ui.box_text(control::txtResult), U"Hi");
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "Hi");
  // Timer2 moves what is still buffered; the log holds the whole console.
  ui.advance_clock(0.5);
  EXPECT_EQ(fe().state.console_buffer, U"");
  EXPECT_EQ(file_bytes(home / "d/zrout.txt"), to_utf8(console()));
  EXPECT_EQ(ui.box_text(control::txtEdit), console());
  EXPECT_NE(console().find(U"Hi"), text::npos);
  EXPECT_FALSE(ui.is_visible(control::lbllblException));
  ui.press(control::btnEnd);
  EXPECT_TRUE(ui.ended);
  EXPECT_EQ(file_bytes(home / "d/zrstatus.txt").substr(0, 4), "end,");
}

TEST_F(Session, GoTranslatesTheSchemaEditedInTheEditor) {
  put_file(home / "example/vbs_c/s.txt", "not a schema");
  start();
  ui.double_click(control::txtSchema);
  ui.set_box_text(control::txtEdit, from_utf8(hello_schema()));
  go_and_run();
  EXPECT_EQ(ui.box_text(control::txtSchema), from_utf8(hello_schema()));
  EXPECT_EQ(ui.box_text(control::txtResult), U"Hi");
}

TEST_F(Session, StopEndsARunWaitingForAStep) {
  put_file(home / "example/vbs_c/s.txt", hello_schema("\\\\steps in dialog=t\r\n"));
  start();
  for (int pass = 0; pass < 5; ++pass)
    ui.on_pump([] {});
  ui.on_pump([this] { ui.press(control::cmdStop); });
  put_file(home / "d/zrresult.txt", "last good result");
  go_and_run();
  ui.advance_clock(0.5);
  EXPECT_NE(console().find(U"user ordered to terminate"), text::npos);
  // A stopped run has no result: the file keeps the last one, the pane says why.
  EXPECT_EQ(ui.box_text(control::txtResult).substr(0, 38),
            U"no result: user ordered to terminate\r\n");
  EXPECT_EQ(file_bytes(home / "d/zrresult.txt"), "last good result");
}

TEST_F(Session, EndingTheProgramStopsARunWaitingForAStep) {
  put_file(home / "example/vbs_c/s.txt", hello_schema("\\\\steps in dialog=t\r\n"));
  start();
  ui.on_pump([this] { ui.press(control::btnEnd); });
  go_and_run();
  EXPECT_TRUE(ui.ended);
  EXPECT_EQ(ui.box_text(control::txtResult).substr(0, 11), U"no result: ");
}

TEST_F(Session, StepsGrantedFromTheWindowLetTheRunFinish) {
  put_file(home / "example/vbs_c/s.txt", hello_schema("\\\\steps in dialog=t\r\n"));
  start();
  for (int pass = 0; pass < 20; ++pass)
    ui.on_pump([this] { ui.press(control::cmdSteps); });
  go_and_run();
  EXPECT_EQ(ui.box_text(control::txtResult), U"Hi");
  EXPECT_EQ(ui.caption(control::lblSteps), U"is off");
}

TEST_F(Session, TheBusyIndicatorShowsTheDialogStep) {
  start();
  std::vector<text> captions;
  for (int pass = 0; pass < 50; ++pass)
    ui.on_pump([this, &captions] {
      ui.tick(timer::Timer2);
      captions.push_back(ui.caption(control::lblBusy));
    });
  go_and_run();
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(captions.front(), U"running 0.0 s, step 0");  // the schema is read
  EXPECT_EQ(captions.back(), U"running 0.0 s, step 2");   // init, then hello
}

TEST_F(Session, GoIsDisabledDuringARunAndStopStopsIt) {
  start();
  bool go_enabled_during_run = true;
  text busy;
  ui.on_pump([this, &go_enabled_during_run, &busy] {
    go_enabled_during_run = ui.is_enabled(control::cmdGo);
    ui.clock += 2.5;
    ui.tick(timer::Timer2);
    busy = ui.caption(control::lblBusy);
    ui.press(control::cmdSuspend);
    ui.tick(timer::Timer2);
    busy += U"|" + ui.caption(control::lblBusy);
    ui.press(control::cmdSuspend);
    // A second go (by key or button) is ignored, and so is a timer tick.
    main->clicked(control::cmdGo);
    ui.tick(timer::Timer1);
    ui.press(control::cmdStop);
  });
  go_and_run();
  EXPECT_FALSE(go_enabled_during_run);
  EXPECT_EQ(busy, U"running 2.5 s, step 0|suspended 2.5 s, step 0");
  EXPECT_EQ(ui.caption(control::lblBusy), U"");
  EXPECT_NE(console().find(U"---- run 1 finished in 2.5 s"), text::npos);
  EXPECT_TRUE(ui.is_enabled(control::cmdGo));
  EXPECT_FALSE(fe().state.run_requested);
  EXPECT_NE(console().find(U"user ordered to terminate"), text::npos);
  EXPECT_EQ(fe().state.runs, 1);
  ui.advance_clock(0.5);
  EXPECT_EQ(fe().state.runs, 1);
}

// The window's events run once a period of run time, and at every pass while
// the run waits for a step.
TEST_F(Session, TheWindowsEventsRunOncePerPeriodAndAtOnceWhileWaiting) {
  std::string words;
  for (int k = 0; k < 200; ++k)
    words += "hello ";
  put_file(home / "example/vbs_c/s.txt",
           "\\\\schema main\r\n-r\r\n  _hello `Hi` 0\r\n  .eot `` 1 -e\r\n"
           "\\\\end schema\r\n\\\\end file\r\n");
  put_file(home / "example/vbs_c/reallife.inc", words);
  start();
  fe().pacer.set_period(std::chrono::hours(1));
  go_and_run();
  EXPECT_EQ(ui.box_text(control::txtResult).size(), 400u);
  // Only the run's first yield fell due.
  EXPECT_EQ(ui.pump_passes, 1);
  ui.press(control::cmdSteps);
  for (int pass = 0; pass < 5; ++pass)
    ui.on_pump([] {});
  ui.on_pump([this] { ui.press(control::cmdStop); });
  go_and_run();
  EXPECT_NE(console().find(U"user ordered to terminate"), text::npos);
  EXPECT_EQ(ui.pump_passes, 1 + 6);
}

// Debug switched on before go traces the run from its first step, and the
// next runs, until it is switched off.
TEST_F(Session, DebugSwitchedOnBeforeGoTracesThatRun) {
  start();
  ui.press(control::cmdDebug);
  go_and_run();
  ui.advance_clock(0.5);
  EXPECT_NE(console().find(U"DIALOG "), text::npos);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is on");
  ui.press(control::cmdDebug);
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  go_and_run();
  ui.advance_clock(0.5);
  const std::size_t second = console().find(U"---- run 2 at ");
  ASSERT_NE(second, text::npos);
  EXPECT_EQ(console().find(U"DIALOG ", second), text::npos) << to_utf8(console());
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  // A schema's own debug directive stays with that schema.
  ui.set_box_text(control::txtSchema, from_utf8(hello_schema("\\\\debug dialog=t\r\n")));
  go_and_run();
  EXPECT_EQ(ui.caption(control::lblDebug), U"is off");
  ui.set_box_text(control::txtSchema, from_utf8(hello_schema()));
  go_and_run();
  ui.advance_clock(0.5);
  const std::size_t fourth = console().find(U"---- run 4 at ");
  ASSERT_NE(fourth, text::npos);
  EXPECT_EQ(console().find(U"DIALOG ", fourth), text::npos);
}

// What a run prints while it processes ends without a line break; the run's
// closing line still stands on a line of its own.
TEST_F(Session, TheClosingLineOfARunStandsOnItsOwnLine) {
  start();
  go_and_run();
  ui.advance_clock(0.5);
  EXPECT_NE(console().find(U"\r\nHi\r\n---- run 1 finished in "), text::npos) << to_utf8(console());
}

TEST_F(Session, StepAskedBeforeGoHoldsTheRunAtItsFirstStep) {
  start();
  ui.press(control::cmdSteps);
  int passes_before_stop = 0;
  for (int pass = 0; pass < 5; ++pass)
    ui.on_pump([&passes_before_stop] { ++passes_before_stop; });
  ui.on_pump([this] {
    EXPECT_EQ(ui.caption(control::lblSteps), U"is on");
    ui.press(control::cmdStop);
  });
  go_and_run();
  // Without step mode the run would have finished before the stop came.
  EXPECT_EQ(passes_before_stop, 5);
  EXPECT_NE(console().find(U"user ordered to terminate"), text::npos);
  EXPECT_EQ(ui.caption(control::lblSteps), U"is off");
}

}  // namespace
}  // namespace zr
