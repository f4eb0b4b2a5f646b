#include "frontend/diagnostics.h"

#include <gtest/gtest.h>

#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::front_end_test;
using testing::put_file;

TEST(Diagnostics, ThePlaceOfTheLineUnderTheCaret) {
  const text console =
      U"report\r\n/a b/s.txt:12:3: error: no `x`\r\nnext\r\n/c:d.inc:4:1: warning: w";
  struct row {
    std::size_t position;
    std::optional<text_place> place;
  };
  const row rows[] = {
      {0, std::nullopt},
      {8, text_place{U"/a b/s.txt", 12, 3}},
      {20, text_place{U"/a b/s.txt", 12, 3}},
      // At the line's end, before its CR LF.
      {39, text_place{U"/a b/s.txt", 12, 3}},
      {42, std::nullopt},
      {console.size(), text_place{U"/c:d.inc", 4, 1}},
  };
  for (const row& r : rows)
    EXPECT_EQ(place_at(console, r.position), r.place) << r.position;
  EXPECT_EQ(place_at(U"x:1:y: error: m", 0), std::nullopt);
  EXPECT_EQ(place_at(U":1:2: error: m", 0), std::nullopt);
}

TEST(Diagnostics, PositionsOfLinesAndColumns) {
  const text contents = U"ab\r\ncde\nf";
  EXPECT_EQ(position_of(contents, 1, 1), 0u);
  EXPECT_EQ(position_of(contents, 1, 9), 2u);  // clamped to the line's end
  EXPECT_EQ(position_of(contents, 2, 2), 5u);
  EXPECT_EQ(position_of(contents, 3, 1), 8u);
  EXPECT_EQ(position_of(contents, 7, 1), contents.size());
  EXPECT_EQ(position_of(contents, 2, 0), 4u);
}

using ConsoleLines = front_end_test;

TEST_F(ConsoleLines, AClickOnTheErrorLineSelectsThePlace) {
  put_file(home / "example/vbs_c/s.txt", "\\\\schema main\r\n-r\r\n  _x `a\r\n");
  start();
  ui.press(control::cmdGo);
  ui.advance_clock(0.5);
  const text console = ui.box_text(control::txtConsole);
  const text head = (home / "example/vbs_c/s.txt") + U":";
  std::size_t line = console.find(head);
  ASSERT_NE(line, text::npos) << to_utf8(console);
  std::optional<text_place> place = place_at(console, line);
  ASSERT_TRUE(place);
  // The editor shows the console after go, at its end; a click or Enter on
  // the line there selects the place and leaves the console's text alone.
  const std::size_t length = ui.box_length(control::txtEdit);
  EXPECT_EQ(ui.selections[control::txtEdit], std::make_pair(length, std::size_t{0}));
  ui.click_at(control::txtEdit, line + 3);
  EXPECT_EQ(ui.focused, control::txtSchema);
  ui.focused.reset();
  ui.set_selection(control::txtEdit, line + 3, 0);
  EXPECT_TRUE(main->key_pressed(control::txtEdit, key_enter));
  EXPECT_EQ(ui.focused, control::txtSchema);
  EXPECT_EQ(ui.box_text(control::txtEdit), console);
  // Closed, it leaves the pane showing the newest run, at the end.
  ui.type(control::txtEdit, key_escape);
  EXPECT_EQ(ui.selections[control::txtConsole], std::make_pair(length, std::size_t{0}));
  ui.focused.reset();
  ui.click_at(control::txtConsole, line + 3);
  EXPECT_EQ(ui.focused, control::txtSchema);
  const text schema = ui.box_text(control::txtSchema);
  EXPECT_EQ(ui.selections[control::txtSchema].first,
            position_of(schema, place->line, place->column));
  // Enter on a line that names no place changes nothing.
  ui.focused.reset();
  ui.set_selection(control::txtConsole, 0, 0);
  EXPECT_TRUE(main->key_pressed(control::txtConsole, key_enter));
  EXPECT_FALSE(ui.focused);
}

}  // namespace
}  // namespace zr
