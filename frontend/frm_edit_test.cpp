#include "frontend/frm_edit.h"

#include <gtest/gtest.h>

#include "frontend/console.h"
#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::front_end_test;

class Editor : public front_end_test {
 protected:
  void SetUp() override {
    start();
    ui.set_box_text(control::txtSchema, U"schema pane");
    ui.set_box_text(control::txtSource, U"source pane");
    ui.set_box_text(control::txtResult, U"result pane");
    ui.set_box_text(control::txtConsole, U"console pane");
  }
  text edit_text() { return ui.box_text(control::txtEdit); }
};

TEST_F(Editor, FourWaysInWithTheirCaptionsAndColours) {
  struct row {
    control pane;
    text_view current;
    text caption;
    colour background;
    text_view shown;
  };
  const row rows[] = {
      {control::txtSchema, U"schema", U"schema:  example/vbs_c/s.txt", colour::rgb(255, 192, 128),
       U"schema pane"},
      {control::txtSource, U"source", U"source: example/vbs_c/reallife.inc",
       colour::rgb(128, 255, 128), U"source pane"},
      {control::txtResult, U"result", U"result: d/zrresult.txt", colour::rgb(128, 128, 255),
       U"result pane"},
      {control::txtConsole, U"console", U"console: " + home.dir() + U"d/zrout.txt",
       colour::rgb(192, 192, 192), U"console pane"},
  };
  for (const row& r : rows) {
    ui.double_click(r.pane);
    EXPECT_EQ(fe().editor.current_text, r.current);
    EXPECT_EQ(ui.caption(control::frmEdit), r.caption);
    EXPECT_EQ(ui.backgrounds[control::frmEdit], r.background);
    EXPECT_EQ(ui.text_colours[control::txtEdit], colour::rgb(0, 0, 0));
    // Only schema text is coloured as schema text.
    EXPECT_EQ(ui.highlighted.count(control::txtEdit), r.pane == control::txtSchema ? 1u : 0u);
    EXPECT_EQ(edit_text(), r.shown);
    EXPECT_TRUE(ui.is_visible(control::frmEdit));
    ui.double_click(control::txtEdit);
    EXPECT_EQ(fe().editor.current_text, U"");
    EXPECT_FALSE(ui.is_visible(control::frmEdit));
  }
}

TEST_F(Editor, EscCopiesTheEditsBackButLeavesTheFileAlone) {
  ui.double_click(control::txtSchema);
  ui.type(control::txtEdit, U'!');
  ui.type(control::txtEdit, key_escape);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema pane!");
  EXPECT_FALSE(ui.is_visible(control::frmEdit));
  EXPECT_EQ(testing::file_bytes(home / "example/vbs_c/s.txt"), "");
}

TEST_F(Editor, DoubleClickOnTheWindowClosesItToo) {
  ui.double_click(control::txtResult);
  ui.set_box_text(control::txtEdit, U"edited result");
  ui.double_click(control::frmEdit);
  EXPECT_EQ(ui.box_text(control::txtResult), U"edited result");
}

TEST_F(Editor, RePointingCopiesTheEditsBackFirst) {
  ui.double_click(control::txtSchema);
  ui.set_box_text(control::txtEdit, U"edited schema");
  ui.double_click(control::txtSource);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"edited schema");
  EXPECT_EQ(edit_text(), U"source pane");
  EXPECT_EQ(fe().editor.current_text, U"source");
  ui.type(control::txtEdit, key_escape);
  EXPECT_EQ(ui.box_text(control::txtSource), U"source pane");
}

TEST_F(Editor, GoRePointsToTheConsoleKeepingTheSchemaEdits) {
  ui.double_click(control::txtSchema);
  ui.set_box_text(control::txtEdit, U"edited schema");
  ui.press(control::cmdGo);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"edited schema");
  EXPECT_EQ(fe().editor.current_text, U"console");
  EXPECT_EQ(edit_text(), U"console pane");
}

TEST_F(Editor, TheConsoleInTheEditorKeepsReceivingAndIsCopiedBack) {
  ui.double_click(control::txtConsole);
  console_now(fe(), U"|more");
  EXPECT_EQ(console(), U"console pane|more");
  EXPECT_EQ(edit_text(), U"console pane|more");
  ui.set_box_text(control::txtEdit, edit_text() + U"|typed");
  ui.type(control::txtEdit, key_escape);
  EXPECT_EQ(console(), U"console pane|more|typed");
}

TEST_F(Editor, LoadingSizesTheWindowToTheScreenAndFitsTheBox) {
  ui.screen_rect = {0, 0, 20000, 10000};
  ui.double_click(control::txtSource);
  EXPECT_EQ(ui.geometries[control::frmEdit], (twips_rect{1000, 500, 18000, 9000}));
  EXPECT_EQ(ui.geometries[control::txtEdit], (twips_rect{100, 100, 17600, 8400}));
}

TEST_F(Editor, ASmallWindowKeepsTheBoxLengthsItCannotFit) {
  struct row {
    long window_width;
    long window_height;
    twips_rect expected;
  };
  const twips_rect before{7, 8, 900, 800};
  const row rows[] = {
      {410, 610, before},
      {411, 610, {100, 8, 11, 800}},
      {410, 611, {7, 100, 900, 11}},
      {5000, 4000, {100, 100, 4600, 3400}},
  };
  ui.double_click(control::txtSource);
  for (const row& r : rows) {
    ui.geometries[control::txtEdit] = before;
    ui.geometries[control::frmEdit] = {0, 0, r.window_width, r.window_height};
    main->resized(control::frmEdit);
    EXPECT_EQ(ui.geometries[control::txtEdit], r.expected) << r.window_width;
  }
}

TEST_F(Editor, TheSizeWarningShowsOncePerOpeningAndEatsNoKey) {
  ui.set_box_text(control::txtSource, text(27000, U'x'));
  ui.double_click(control::txtSource);
  const int reads_before = ui.whole_text_reads;
  ui.type(control::txtEdit, U'a');  // 27000 characters: no warning yet
  EXPECT_TRUE(ui.notices.empty());
  ui.type(control::txtEdit, U'b');
  ui.type(control::txtEdit, U'c');
  ui.type(control::txtEdit, U'd');
  // A keystroke never reads the whole text, whatever its size.
  EXPECT_EQ(ui.whole_text_reads, reads_before);
  ASSERT_EQ(ui.notices.size(), 1u);
  EXPECT_EQ(ui.notices[0], size_warning_text);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(edit_text().size(), 27004u);
  // Re-pointing keeps it shown; closing and opening again shows it once more.
  ui.double_click(control::txtResult);
  ui.set_box_text(control::txtEdit, text(27001, U'y'));
  ui.type(control::txtEdit, U'e');
  EXPECT_EQ(ui.notices.size(), 1u);
  ui.type(control::txtEdit, key_escape);
  ui.double_click(control::txtResult);
  ui.type(control::txtEdit, U'f');
  ui.type(control::txtEdit, U'g');
  EXPECT_EQ(ui.notices.size(), 2u);
}

TEST(EditorPlacement, TheEditorLeavesTheRunControlsInView) {
  const twips_rect screen{0, 0, 20000, 10000};
  struct row {
    twips_rect run_controls;
    twips_rect expected;
  };
  const row rows[] = {
      // Nothing to keep free (or outside the window): 0.9 of the screen, centred.
      {{}, {1000, 500, 18000, 9000}},
      {{19500, 0, 400, 400}, {1000, 500, 18000, 9000}},
      // Controls at the right: the editor takes the part left of them.
      {{15000, 3000, 2000, 3000}, {1000, 500, 14000, 9000}},
      // Controls at the left: the part right of them.
      {{2000, 3000, 2000, 3000}, {4000, 500, 15000, 9000}},
      // Controls across the width near the top: the part below them.
      {{0, 1000, 20000, 1000}, {1000, 2000, 18000, 7500}},
  };
  for (const row& r : rows)
    EXPECT_EQ(editor_placement(screen, r.run_controls), r.expected) << r.run_controls.left;
}

TEST_F(Editor, OpensBesideTheRunControls) {
  ui.screen_rect = {0, 0, 20000, 10000};
  ui.screen_areas[control::cmdGo] = {15000, 3000, 2000, 400};
  ui.screen_areas[control::cmdStop] = {15000, 5000, 2000, 400};
  ui.press(control::cmdGo);
  EXPECT_EQ(ui.geometries[control::frmEdit], (twips_rect{1000, 500, 14000, 9000}));
}

TEST_F(Editor, EndingTheProgramDoesNotCopyBack) {
  ui.double_click(control::txtSchema);
  ui.set_box_text(control::txtEdit, U"dropped");
  main->key_pressed(control::txtSchema, key_escape);
  EXPECT_TRUE(ui.ended);
  EXPECT_EQ(ui.box_text(control::txtSchema), U"schema pane");
}

}  // namespace
}  // namespace zr
