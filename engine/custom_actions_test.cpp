#include "engine/custom_actions.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/form_golden.h"
#include "engine/form_layout.h"
#include "engine/test_support.h"
#include "engine/variables.h"

namespace zr {
namespace {

const text reading_context = U"error_when_reading_collected_values in `construct_form` module";
const text menu_context = U"handling_collected_menu in `construct_form` module";

TEST(Actc, HelloAnswersOnTheConsoleAndLeavesDebugOff) {
  struct Case {
    text statement;
    std::string line;
    bool debug_before;
  };
  const Case cases[] = {
      {U"hello#abc", "hello abc\r\n", true},
      {U"hello", "hello \r\n", false},
      {U"hello#a#b", "hello a#b\r\n", true},
  };
  for (const Case& c : cases) {
    std::shared_ptr<recording_output> out;
    auto state = make_test_state(out);
    state->flags.debug_on = c.debug_before;
    actc(*state, c.statement);
    EXPECT_EQ(out->joined(), c.line);
    EXPECT_FALSE(state->flags.debug_on);
  }
}

TEST(Actc, UnknownNamesAreRefusedQuotingTheWholeStatement) {
  std::shared_ptr<recording_output> out;
  auto state = make_test_state(out);
  for (text statement : {U"mysub#x", U"Hello", U"hello world", U"Construct_form#x"}) {
    try {
      actc(*state, statement);
      FAIL() << "no error raised";
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), error_number::engine);
      EXPECT_EQ(e.description(),
                U"custom action `" + statement + U"` found in schema does not exist ...");
    }
  }
}

// One control's stack segment, offsets 0..9.
struct segment_fields {
  text ctype = U"VB.TextBox";
  text cname;
  text control;
  text top = U"0";
  text lef = U"0";
  text height = U"10";
  text wid = U"10";
  text container = U"";
  text menu = U"";
};

// An engine state holding a form description: the form is segment 20, its
// controls the segments after it, zzz 10.
class form_fixture {
 public:
  form_fixture() {
    state_ = make_test_state(out_);
    state_->schema.names = derive_names(state_->schema.header);
    init_builtin_variables(*state_);
    load_builtin_variables(*state_);
    set(U"sssstart", U"20");
    set(U"tip", U"20");
    set(U"round", U"1");
    set(U"w", U"1000");
    set(U"h", U"800");
    set(U"browser_width", U"1000");
    set(U"browser_height", U"800");
    set(U"exact_grid", U"0");
    set(U"bold", U"1");
  }

  engine_state& state() { return *state_; }
  recording_output& out() { return *out_; }

  void set(text_view name, text_view value) {
    table_value(*state_, vvv_index(*state_, name)) = value;
  }

  // Writes the next control's segment and moves "tip" to it.
  void add(const segment_fields& f) {
    const int segment = ++tip_;
    const text fields[] = {f.ctype,  f.cname, f.control, f.top,       f.lef,
                           f.height, f.wid,   U"",       f.container, f.menu};
    const long long base = stack_base + 10LL * segment;
    for (int offset = 0; offset < 10; ++offset)
      table_value(*state_, base + offset) = fields[offset];
    set(U"tip", number_text(segment));
  }

  text table() { return vvv_value(*state_, U"table"); }

  // The description of the error construct_form raises.
  text error(int number) {
    try {
      construct_form(*state_);
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), number);
      return e.description();
    }
    ADD_FAILURE() << "no error raised";
    return U"";
  }

 private:
  std::shared_ptr<recording_output> out_;
  std::unique_ptr<engine_state> state_;
  int tip_ = 20;
};

segment_fields text_box(const text& name, int lef, int top, int wid, int height) {
  return {.cname = name,
          .control = U"<input name=" + name + U">",
          .top = number_text(top),
          .lef = number_text(lef),
          .height = number_text(height),
          .wid = number_text(wid)};
}

segment_fields menu_item(const text& name, const text& caption, int parent, int index) {
  return {.ctype = text(menu_type),
          .cname = name,
          .control = caption,
          .menu = number_text(parent * 100 + index)};
}

TEST(ConstructForm, StoresTheTableOfTheControlSegments) {
  form_fixture form;
  form.set(U"round", U"10");
  form.set(U"browser_width", U"500");
  form.set(U"browser_height", U"400");
  form.add(text_box(U"t1", 50, 100, 200, 30));
  actc(form.state(), U"construct_form#ignored");
  // Form units divided by 10, then scaled by 5 to the browser.
  EXPECT_EQ(form.table(),
            U"\\Tp0s0b1RD   \r\n R\\\\R  \\Dw25h50\\-\\Dw100h50\\- R\\\\R  \\Dw25h15\\-"
            U"\\Dc1w100r1h15  \r\n<! VB.TextBox >\r\n<input name=t1>\r\n  T\\");
  EXPECT_EQ(form.out().joined(), "");
}

TEST(ConstructForm, NormalisesTheDivisorAndEachControl) {
  struct Case {
    text round, w, fields[4];        // top, lef, height, wid
    std::string size_line, corners;  // lef, top, right, bottom
  };
  const Case cases[] = {
      // Divided by 10, halves to even: 55 -> 6, 25 -> 2, 35 -> 4.
      {U"10",
       U"1000",
       {U"25", U"55", U"35", U"200"},
       "wsource_form=100   hsource_form=80",
       " close corner=6,  2   far=26,  6"},
      // A divisor of 0 or below is taken as 1.
      {U"0",
       U"1000",
       {U"25", U"55", U"35", U"200"},
       "wsource_form=1000   hsource_form=800",
       " close corner=55,  25   far=255,  60"},
      {U"-3",
       U"1000",
       {U"25", U"55", U"35", U"200"},
       "wsource_form=1000   hsource_form=800",
       " close corner=55,  25   far=255,  60"},
      // A form narrower than 10 after dividing keeps full resolution.
      {U"1",
       U"9",
       {U"25", U"55", U"35", U"200"},
       "wsource_form=9   hsource_form=800",
       " close corner=55,  25   far=255,  60"},
      {U"10",
       U"94",
       {U"25", U"55", U"35", U"200"},
       "wsource_form=94   hsource_form=800",
       " close corner=55,  25   far=255,  60"},
      // Positions below 0 become 0, sizes below 2 become 2; text reads as 10.
      {U"1",
       U"1000",
       {U"-5", U"-20", U"1", U"0"},
       "wsource_form=1000   hsource_form=800",
       " close corner=0,  0   far=2,  2"},
      {U"1",
       U"1000",
       {U"top", U"", U"x", U"-"},
       "wsource_form=1000   hsource_form=800",
       " close corner=10,  10   far=20,  20"},
  };
  for (const Case& c : cases) {
    form_fixture form;
    form.set(U"round", c.round);
    form.set(U"w", c.w);
    form.add({.cname = U"t1",
              .control = U"<input>",
              .top = c.fields[0],
              .lef = c.fields[1],
              .height = c.fields[2],
              .wid = c.fields[3]});
    form.state().flags.debug_on = true;
    construct_form(form.state());
    const std::string console = form.out().joined();
    EXPECT_NE(console.find("\r\n" + c.size_line + "\r\n"), std::string::npos) << c.size_line;
    EXPECT_NE(console.find(" controls scaled: " + c.corners + "\r\n"), std::string::npos)
        << c.corners;
  }
}

TEST(ConstructForm, UndescribedControlStandsAsAWarning) {
  form_fixture form;
  form.add(text_box(U"t1", 0, 0, 10, 10));
  segment_fields timer;
  timer.ctype = U"VB.Timer";
  timer.cname = U"tmr";
  timer.top = U"10";
  form.add(timer);
  construct_form(form.state());
  EXPECT_NE(form.table().find(U"\r\n<! VB.Timer >\r\n  control # 2 `tmr` of type `VB.Timer` is "
                              U"undescribed in the schema ... \r\n"),
            text::npos);
}

TEST(ConstructForm, MenuRowListsAndContainers) {
  form_fixture form;
  form.set(U"exact_grid", U"1");
  form.set(U"bold", U"0");
  form.add(menu_item(U"mnuFile", U"File", 20, 3));  // control 1, segment 21
  form.add(text_box(U"t1", 0, 0, 300, 100));
  form.add(menu_item(U"mnuEdit", U"Edit", 20, 1));  // control 3, segment 23
  form.add(menu_item(U"mnuOpen", U"Open", 21, 0));
  form.add(menu_item(U"mnuCopy", U"Copy", 23, 0));
  form.add(menu_item(U"mnuSave", U"Save", 21, 1));
  segment_fields frame;
  frame.ctype = U"VB.Frame";
  frame.cname = U"fr";
  frame.top = U"100";
  frame.height = U"200";
  frame.wid = U"300";
  frame.container = U"cont";
  form.add(frame);
  form.add(text_box(U"t2", 50, 150, 100, 50));
  construct_form(form.state());
  expect_golden("menus.txt", to_utf8(form.table()));
}

TEST(ConstructForm, MenuListNamesTheMenuAndItsItems) {
  std::shared_ptr<recording_output> out;
  auto state = make_test_state(out);
  form_description form;
  form.sssstart = 20;
  auto add = [&](text ctype, text name, text control, std::int16_t parent, std::int16_t index) {
    control_record& record = add_control(form);
    record = {.ctype = ctype,
              .cname = name,
              .control = control,
              .lef = 40,
              .top = 30,
              .wid = 20,
              .height = 10,
              .menu_parent = parent,
              .menu_index = index};
  };
  add(U"VB.Menu", U"mnuFile", U"File", 20, 3);
  add(U"VB.TextBox", U"t1", U"<input>", 0, 10);
  add(U"VB.Menu", U"mnuHelp", U"Help", 20, 0);
  add(U"VB.Menu", U"mnuSub", U"Sub", 25, 2);  // an item of mnuOpen: no list of its own
  add(U"VB.Menu", U"mnuOpen", U"Open", 21, 0);
  turn_menus_into_lists(*state, form, 300, 250);

  const control_record& file = form.controls[1];
  EXPECT_EQ(file.control,
            U"<select name=\"mnuFile_3\" size=1>\n"
            U"<option value=\"0_3_mnuFile\"  >File</option>\n"
            U"<option value=\"5_0_mnuOpen\"  >Open</option>\n"
            U"</select>\n");
  EXPECT_EQ(form.controls[3].control,
            U"<select name=\"mnuHelp_0\" size=1>\n"
            U"<option value=\"0_0_mnuHelp\"  >Help</option>\n"
            U"</select>\n");
  struct Geometry {
    std::int32_t lef, top, wid, height;
    bool is_container;
    text control;
  };
  const Geometry expected[] = {
      {0, 0, 300, 250, false, file.control},
      {40, 30 + 250 + 1, 20, 10, false, U"<input>"},
      {300, 0, 300, 250, false, form.controls[3].control},
      {0, 0, 1, 1, true, U"Sub"},
      {0, 0, 1, 1, true, U"Open"},
  };
  for (int i = 1; i <= 5; ++i) {
    const control_record& c = form.controls[i];
    const Geometry& e = expected[i - 1];
    EXPECT_EQ((std::vector<long long>{c.lef, c.top, c.wid, c.height, c.is_container}),
              (std::vector<long long>{e.lef, e.top, e.wid, e.height, e.is_container}))
        << "control " << i;
    EXPECT_EQ(c.control, e.control) << "control " << i;
  }
  EXPECT_EQ(out->joined(), "");
}

TEST(ConstructForm, MenuSizesFollowTheDivisor) {
  // 300 / 200 and 250 / 200 round to 2 and 1; a size is at least 2.
  form_fixture form;
  form.set(U"round", U"200");
  form.set(U"w", U"4000");
  form.set(U"h", U"4000");
  form.set(U"browser_width", U"20");
  form.set(U"browser_height", U"20");
  form.add(menu_item(U"mnuFile", U"File", 20, 0));
  form.add(text_box(U"t1", 0, 0, 400, 400));
  form.state().flags.debug_on = true;
  construct_form(form.state());
  const std::string console = form.out().joined();
  EXPECT_NE(console.find(" cname(1)=`mnuFile`  control=`<select name=\"mnuFile_0\" size=1>\n"
                         "<option value=\"0_0_mnuFile\"  >File</option>\n</select>\n` lef=0  "
                         "top=0\r\n"),
            std::string::npos);
  EXPECT_NE(console.find(" cname(2)=`t1`  control=`<input name=t1>` lef=0  top=3\r\n"),
            std::string::npos);
  EXPECT_NE(console.find(" controls scaled:  close corner=0,  0   far=2,  2\r\n"),
            std::string::npos);
}

TEST(ConstructForm, DebugListingFromVariablesToTable) {
  form_fixture form;
  form.add(menu_item(U"mnuFile", U"File", 20, 0));
  form.add(text_box(U"t1", 10, 0, 100, 20));
  form.add(menu_item(U"mnuOpen", U"", 21, 1));
  form.state().flags.debug_on = true;
  construct_form(form.state());
  expect_golden("construct_form_debug.txt", form.out().joined());
}

TEST(ConstructForm, ReadingFailuresCarryTheReadingContext) {
  struct Case {
    text name, value;
    int number;
    text description;
  };
  const Case cases[] = {
      {U"tip", U"20", error_number::engine,
       U"end control segment `20` < start contorl segment = `21`, so number of controls is "
       U"negative ..."},
      {U"sssstart", U"", error_number::engine, U"imbedded variable `sssstart` is not numeric ... "},
      {U"tip", U"many", error_number::engine, U"imbedded variable `tip` is not numeric ... "},
      {U"exact_grid", U"yes", error_number::engine,
       U"imbedded variable `exact_grid` is not numeric ... "},
      {U"round", U"", error_number::type_mismatch, U"Type mismatch"},
      {U"w", U"wide", error_number::type_mismatch, U"Type mismatch"},
      {U"h", U"1e", error_number::type_mismatch, U"Type mismatch"},
      {U"browser_width", U"800px", error_number::type_mismatch, U"Type mismatch"},
      {U"browser_height", U"", error_number::type_mismatch, U"Type mismatch"},
      {U"browser_width", U"1e10", error_number::overflow, U"Overflow"},
      {U"w", U"0", error_number::division_by_zero, U"Division by zero"},
      {U"h", U"0.4", error_number::division_by_zero, U"Division by zero"},
  };
  for (const Case& c : cases) {
    form_fixture form;
    form.add(text_box(U"t1", 0, 0, 10, 10));
    form.set(c.name, c.value);
    EXPECT_EQ(form.error(c.number), c.description + U"\r\n" + reading_context) << to_utf8(c.name);
  }
}

TEST(ConstructForm, SegmentsOutsideTheStackFailWhileReading) {
  form_fixture form;
  form.add(text_box(U"t1", 0, 0, 10, 10));
  form.state().variables.zzz = 200;  // segment 21 starts at stack index 4200
  EXPECT_EQ(form.error(error_number::engine),
            U"wrong value of stack index=4203\r\n" + reading_context);
}

TEST(ConstructForm, TooManyControlsFailCleanly) {
  struct Case {
    int controls;
    bool with_menu;
    text context;
  };
  const Case cases[] = {
      {101, false, reading_context},  // the control arrays hold 100
      {100, false, reading_context},  // the grid lines hold 2 x 99 + 1
      {100, true, menu_context},
  };
  for (const Case& c : cases) {
    form_fixture form;
    if (c.with_menu) form.add(menu_item(U"mnuFile", U"File", 20, 0));
    for (int i = c.with_menu ? 1 : 0; i < c.controls; ++i)
      form.add(text_box(U"t" + number_text(i), 0, i * 10, 10, 10));
    EXPECT_EQ(form.error(error_number::index_range), U"Subscript out of range\r\n" + c.context);
    EXPECT_EQ(form.table(), U"") << "no table for a failed form";
  }
}

TEST(ConstructForm, BoldIsReadWhenTheTableIsBegun) {
  const text bold_error = U"imbedded variable `bold` is not numeric ... \r\n";
  struct Case {
    text w;
    int number;
    text description;
  };
  const Case cases[] = {
      {U"0", error_number::division_by_zero, U"Division by zero\r\n" + reading_context},
      {U"100", error_number::engine, bold_error + U"after_scaling in `construct_form` module"},
  };
  for (const Case& c : cases) {
    form_fixture form;
    form.add(text_box(U"t1", 0, 0, 10, 10));
    form.set(U"w", c.w);
    form.set(U"bold", U"");
    EXPECT_EQ(form.error(c.number), c.description) << to_utf8(c.w);
  }
}

TEST(ConstructForm, StoringTheTableFailsAfterScalingWhenNoNameIsLeft) {
  form_fixture form;
  form.add(text_box(U"t1", 0, 0, 10, 10));
  for (int i = form.state().variables.vvv_count; i < stack_base - 1; ++i)
    form.set(U"v" + number_text(i), U"");
  EXPECT_EQ(form.error(error_number::engine),
            U"when creating a new variable, end of space =`3000` encountered ...\r\n"
            U"after_scaling in `construct_form` module");
}

}  // namespace
}  // namespace zr
