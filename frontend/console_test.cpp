#include "frontend/console.h"

#include <gtest/gtest.h>

#include "common/easylife.h"
#include "frontend/frm_edit.h"
#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::front_end_test;

class Console : public front_end_test {
 protected:
  void SetUp() override {
    start();
    // The start-up moved the refresh time; begin each case just after a refresh.
    fe().state.next_refresh = ui.clock + 0.2;
  }
  std::string log() { return file_bytes(home / "d/zrout.txt"); }
};

TEST_F(Console, MessagesWaitUntilMoreThan200CharactersAreBuffered) {
  writes(fe(), text(150, U'a'));
  writes(fe(), text(50, U'b'));
  EXPECT_EQ(console(), U"");
  EXPECT_EQ(fe().state.console_buffer.size(), 200u);
  writes(fe(), U"c");
  EXPECT_EQ(console(), text(150, U'a') + text(50, U'b') + U"c");
  EXPECT_EQ(log(), to_utf8(console()));
  EXPECT_EQ(fe().state.console_buffer, U"");
  EXPECT_DOUBLE_EQ(fe().state.next_refresh, ui.clock + 0.2);
}

// The log breaks every line with CR LF, also across messages.
TEST_F(Console, EveryLineBreakBecomesCrLf) {
  for (text_view message : {U"a\nb\r\nc\r", U"\nd\n", U"\n", U"e\r\n"})
    main->writes(message);
  console_now(fe(), U"");
  EXPECT_EQ(console(), U"a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
  EXPECT_EQ(log(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
}

TEST_F(Console, AMessageOf201CharactersIsShownAtOnce) {
  writes(fe(), text(201, U'x'));
  EXPECT_EQ(console(), text(201, U'x'));
}

TEST_F(Console, ABufferedMessageIsShownOnceItsTimeHasPassed) {
  writes(fe(), U"hello");
  EXPECT_EQ(console(), U"");
  // Timer2 refreshes once the clock passes the refresh time.
  ui.advance_clock(0.3);
  EXPECT_EQ(console(), U"hello");
  writes(fe(), U" again");
  ui.clock += 0.25;
  // The next message after the deadline refreshes, even an empty one.
  writes(fe(), U"");
  EXPECT_EQ(console(), U"hello again");
  EXPECT_EQ(log(), "hello again");
}

TEST_F(Console, TheClockPassingMidnightDoesNotStallTheConsole) {
  ui.clock = 86399.95;
  console_now(fe(), U"before midnight|");
  ui.clock = 0.05;
  writes(fe(), U"after");
  EXPECT_EQ(console(), U"before midnight|after");
  writes(fe(), U"|waits");
  EXPECT_EQ(console(), U"before midnight|after");
}

TEST_F(Console, AnEmptyBufferIsNotRefreshed) {
  double before = fe().state.next_refresh;
  ui.clock += 1;
  refresh_console(fe());
  EXPECT_EQ(fe().state.next_refresh, before);
  EXPECT_FALSE(testing::file_exists(home / "d/zrout.txt"));
}

TEST_F(Console, APaneOverTheCapIsRestartedWithTheBatchSelected) {
  ui.set_box_text(control::txtConsole, text(10000, U'o'));
  console_now(fe(), U"at cap|");
  EXPECT_EQ(console(), text(10000, U'o') + U"at cap|");
  ui.clock = 45296.5;
  console_now(fe(), U"batch");
  text restarted = time_stamp(45296.5) + U" console refreshed: \r\nbatch";
  EXPECT_EQ(console(), restarted);
  EXPECT_EQ(ui.selections[control::txtConsole], std::make_pair(std::size_t{0}, restarted.size()));
  // The log is never restarted.
  EXPECT_EQ(log(), "at cap|batch");
}

TEST_F(Console, AppendingLeavesTheCaretAfterTheText) {
  ui.set_box_text(control::txtConsole, U"one");
  ui.set_selection(control::txtConsole, 0, 2);
  append_to_box(fe(), U" two", control::txtConsole);
  EXPECT_EQ(console(), U"one two");
  EXPECT_EQ(ui.selections[control::txtConsole], std::make_pair(std::size_t{7}, std::size_t{0}));
}

TEST_F(Console, TheEditorShowingTheConsoleReceivesTheSameText) {
  ui.double_click(control::txtConsole);
  console_now(fe(), U"both");
  EXPECT_EQ(ui.box_text(control::txtEdit), U"both");
  ui.double_click(control::txtSchema);
  console_now(fe(), U" pane only");
  EXPECT_EQ(console(), U"both pane only");
  EXPECT_EQ(ui.box_text(control::txtEdit), U"");
}

TEST_F(Console, AnUnwritableLogLeavesItsFailureInThePanes) {
  fe().state.log_path = home / "nowhere/zrout.txt";
  ui.double_click(control::txtConsole);
  console_now(fe(), U"msg");
  text expected =
      U"msg"
      U"error opening file `" +
      (home / "nowhere/zrout.txt") + U"`\r\nNo such file or directory";
  EXPECT_EQ(console(), expected);
  EXPECT_EQ(ui.box_text(control::txtEdit), expected);
}

TEST_F(Console, UnattendedOnlyLogFailuresReachThePane) {
  fe().state.unattended = true;
  console_now(fe(), U"logged");
  EXPECT_EQ(console(), U"");
  EXPECT_EQ(log(), "logged");
  fe().state.log_path = home / "nowhere/zrout.txt";
  console_now(fe(), U"lost");
  EXPECT_EQ(console(), U"error opening file `" + (home / "nowhere/zrout.txt") +
                           U"`\r\nNo such file or directory");
}

TEST_F(Console, ErrorReportsHaveTheirExactLayout) {
  writes(fe(), U"pending|");
  report_error_now(fe(), engine_error(2048, U"bad\r\ncontext"), U"when in module Timer1");
  EXPECT_EQ(console(), U"pending|\r\nbad\r\ncontext\r\nEXCEPTION 2048 when in module Timer1");
  EXPECT_TRUE(ui.is_visible(control::lbllblException));
  EXPECT_TRUE(ui.is_visible(control::cmdException));
}

TEST_F(Console, ClearEmptiesOnlyThePane) {
  console_now(fe(), U"kept in the log");
  writes(fe(), U"buffered");
  ui.press(control::cmdClearConsole);
  EXPECT_EQ(console(), U"");
  EXPECT_EQ(fe().state.console_buffer, U"buffered");
  EXPECT_EQ(log(), "kept in the log");
}

}  // namespace
}  // namespace zr
