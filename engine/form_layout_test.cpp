#include "engine/form_layout.h"

#include <gtest/gtest.h>

#include "engine/form_golden.h"
#include "engine/test_support.h"
#include "engine/variables.h"

namespace zr {
namespace {

const text grid_context = U"error_when_reading_collected_values in `construct_form` module";

// A text box named `name` with the given corner and size.
control_record box(const text& name, int lef, int top, int wid, int height) {
  return control_record{.ctype = U"VB.TextBox",
                        .cname = name,
                        .control = U"<input name=" + name + U">",
                        .lef = lef,
                        .top = top,
                        .wid = wid,
                        .height = height};
}

control_record frame(const text& name, int lef, int top, int wid, int height) {
  control_record record = box(name, lef, top, wid, height);
  record.ctype = U"VB.Frame";
  record.control = U"";
  record.is_container = true;
  return record;
}

form_description form_of(std::initializer_list<control_record> controls, double w_scale = 1,
                         double h_scale = 1) {
  form_description form;
  for (const control_record& control : controls)
    add_control(form) = control;
  form.w_scale = w_scale;
  form.h_scale = h_scale;
  return form;
}

// A fresh engine state whose variable "bold" (the table's border) is 1.
std::unique_ptr<engine_state> layout_state(std::shared_ptr<recording_output>& out) {
  auto state = make_test_state(out);
  state->schema.names = derive_names(state->schema.header);
  init_builtin_variables(*state);
  table_value(*state, vvv_index(*state, U"bold")) = U"1";
  return state;
}

std::string table_of(const form_description& form) {
  std::shared_ptr<recording_output> out;
  auto state = layout_state(out);
  text table = lay_out_form(*state, form, grid_context);
  EXPECT_EQ(out->joined(), "") << "debug listings while debug is off";
  return to_utf8(table);
}

// The description of the error the layout raises.
text layout_error(const form_description& form, int number = error_number::engine) {
  std::shared_ptr<recording_output> out;
  auto state = layout_state(out);
  try {
    lay_out_form(*state, form, grid_context);
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), number);
    return e.description();
  }
  ADD_FAILURE() << "no error raised";
  return U"";
}

TEST(FormLayout, OneControlFillsOneCell) {
  expect_golden("one_control.txt", table_of(form_of({box(U"t1", 0, 0, 100, 50)}, 2, 1.5)));
}

TEST(FormLayout, ControlsAtOneCornerShareTheFirstOnesCell) {
  expect_golden("one_corner.txt",
                table_of(form_of({box(U"t1", 0, 0, 100, 50), box(U"t2", 0, 0, 30, 30),
                                  box(U"t3", 100, 0, 40, 50)})));
}

TEST(FormLayout, ControlUnderAnotherCellIsNestedWhateverItsSize) {
  expect_golden("nested.txt",
                table_of(form_of({box(U"big", 0, 0, 100, 100), box(U"inner", 50, 50, 200, 200)})));
}

TEST(FormLayout, ContainerShadesTheCellsUnderIt) {
  expect_golden("container.txt",
                table_of(form_of({frame(U"fr", 0, 0, 200, 100), box(U"a", 10, 10, 50, 20),
                                  box(U"b", 100, 10, 50, 20), box(U"c", 0, 150, 50, 20)})));
}

// A tall control on the left and short ones on its right: the second row's
// first point lies under the tall cell, its later points are free.
form_description staircase() {
  return form_of(
      {box(U"tall", 0, 0, 100, 200), box(U"b", 100, 0, 100, 100), box(U"c", 200, 0, 100, 100)});
}

TEST(FormLayout, LaterRowGetsOneFillerBeforeItsFirstCell) {
  expect_golden("one_filler.txt", table_of(staircase()));
}

TEST(FormLayout, ExactGridPutsAFillerAtEveryFreePoint) {
  form_description form = staircase();
  form.exact_grid = true;
  expect_golden("exact_grid.txt", table_of(form));
}

TEST(FormLayout, ScaledWidthsAndGapsNeverFallBelowOne) {
  // A column of 2 units at a scale of 0.1: 0.2 rounds to 0 and becomes 1, for
  // the filler's gap and for the narrow control's width alike.
  expect_golden(
      "zero_width.txt",
      table_of(form_of({box(U"wide", 2, 0, 20, 30), box(U"narrow", 0, 30, 2, 4)}, 0.1, 0.1)));
}

TEST(FormLayout, TableTextWritesBackslashesAsPrinted) {
  EXPECT_EQ(table_of(form_of({box(U"t1", 0, 0, 10, 10)})),
            "\\Tp0s0b1RD   \r\n R\\\\R  \\Dc1w10r1h10  \r\n<! VB.TextBox >\r\n<input "
            "name=t1>\r\n  T\\");
}

TEST(FormLayout, HundredControlsFailWhileDrawingTheGridLines) {
  form_description form;
  for (int i = 0; i < 100; ++i)
    add_control(form) = box(U"t" + number_text(i), i * 10, 0, 10, 10);
  EXPECT_EQ(layout_error(form, error_number::index_range),
            U"Subscript out of range\r\n" + grid_context);
}

TEST(FormLayout, ControlArraysHoldAHundredControls) {
  form_description form;
  for (int i = 0; i < 100; ++i)
    add_control(form);
  try {
    add_control(form);
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::index_range);
  }
  EXPECT_EQ(form.count, 100);
}

TEST(FormLayout, MoreThanAHundredColumnsFailAfterOrdering) {
  // 51 side-by-side controls with gaps: 103 distinct vertical lines.
  form_description form;
  for (int i = 0; i < 51; ++i)
    add_control(form) = box(U"t" + number_text(i), 1 + i * 10, 0, 5, 10);
  EXPECT_EQ(layout_error(form, error_number::index_range),
            U"Subscript out of range\r\nafter_ordering in `construct_form` module");
}

TEST(FormLayout, ControlNoCellCanTakeFailsTheCellCount) {
  // A control of width 0 on the far right edge lies on no grid column.
  EXPECT_EQ(layout_error(form_of({box(U"a", 0, 0, 10, 10), box(U"edge", 10, 0, 0, 10)})),
            U"error of ordering controls ... \r\nafter_ordering in `construct_form` module");
}

TEST(FormLayout, ScalingOverflowQuotesTheScalesAndTheFailingControl) {
  form_description form = form_of({box(U"a", 0, 0, 10, 10), box(U"b", 300, 20, 10, 10)}, 1e7, 0.5);
  EXPECT_EQ(layout_error(form, error_number::overflow),
            U"Overflow\r\nwhen_scaling_cells in `construct_form` module\r\n"
            U" w_scale=10000000 h_scale=0.5\r\nlef(2)=300 top(i)=20\r\nheight(i)=10 "
            U"wid(i)=10\r\nw_gab(i)=0 w_grid(i+1)=300 ... ");
}

TEST(FormLayout, DebugListsEveryStep) {
  std::shared_ptr<recording_output> out;
  auto state = layout_state(out);
  state->flags.debug_on = true;
  lay_out_form(
      *state,
      form_of({frame(U"fr", 0, 0, 100, 40), box(U"a", 0, 0, 50, 20), box(U"b", 20, 10, 10, 10)},
              1.5, 0.5),
      grid_context);
  expect_golden("debug_listing.txt", out->joined());
}

TEST(FormLayout, SortAndDuplicatesKeepPositionOneOn) {
  struct Case {
    std::vector<std::int32_t> list;  // position 0 is not part of the list
    int count;
    std::vector<std::int32_t> sorted;
    int kept;
    std::vector<std::int32_t> distinct;
  };
  const Case cases[] = {
      {{99, 0}, 1, {99, 0}, 1, {99, 0}},
      {{99, 5, 3, 5, 0, 3}, 5, {99, 0, 3, 3, 5, 5}, 3, {99, 0, 3, 5}},
      {{-1, 7, 7, 7}, 3, {-1, 7, 7, 7}, 1, {-1, 7}},
      {{0, -2, 4, -9, 1}, 4, {0, -9, -2, 1, 4}, 4, {0, -9, -2, 1, 4}},
  };
  for (const Case& c : cases) {
    std::vector<std::int32_t> list = c.list;
    sort_ascending(list, c.count);
    EXPECT_EQ(list, c.sorted);
    EXPECT_EQ(drop_duplicates(list, c.count), c.kept);
    list.resize(c.kept + 1);
    EXPECT_EQ(list, c.distinct);
  }
}

TEST(FormLayout, RoundingToLongHalvesToEven) {
  EXPECT_EQ(to_int32(2.5), 2);
  EXPECT_EQ(to_int32(3.5), 4);
  EXPECT_EQ(to_int32(-2.5), -2);
  EXPECT_EQ(to_int32(2147483647.0), 2147483647);
  for (double out_of_range : {2147483647.5 + 1, -2147483649.0, 1e300}) {
    try {
      to_int32(out_of_range);
      ADD_FAILURE() << "no error for " << out_of_range;
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), error_number::overflow);
    }
  }
}

}  // namespace
}  // namespace zr
