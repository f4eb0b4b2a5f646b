#include "engine/registration.h"

#include <gtest/gtest.h>

#include "engine/schema_test_support.h"

namespace zr {
namespace {

// A schema text with one schema "main" made of `blocks`.
compiled_schema compile_blocks(text_view blocks, text_view header = U"") {
  return compile_schema(text(header) + U"\\\\schema main\n" + text(blocks) +
                        U"\\\\end schema\n\\\\end file\n");
}

// The event row compiled from one event line under the header "-r".
compiled_schema compile_line(text_view line, text_view header = U"") {
  return compile_blocks(U"-r\n  " + text(line) + U"\n", header);
}

TEST(Registration, AHeaderLineRegistersItsStatesAndItsOwnEvent) {
  compiled_schema run = compile_blocks(U"main,inner  _begin `start` 1 body\nbody\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const schema_table& s = run.schema();
  EXPECT_EQ(s.state_name[7], U"main");
  EXPECT_EQ(s.state_name[8], U"inner");
  ASSERT_EQ(s.events_quantity, 1);
  const event_row& e = run.event(1);
  EXPECT_EQ(e.event_name, U"begin");
  EXPECT_TRUE(e.kword);
  EXPECT_EQ(e.action, U"start");
  EXPECT_TRUE(e.act_text);
  EXPECT_EQ(e.level, 1);
  ASSERT_EQ(e.post_states_quantity, 1);
  EXPECT_EQ(e.post_state_name[1], U"body");
  EXPECT_EQ(e.post_state[1], 9);
  ASSERT_EQ(e.nest_depth, 2);
  EXPECT_EQ(e.nest_state_index[1], 7);
  EXPECT_EQ(e.nest_state_index[2], 8);
  EXPECT_EQ(e.subschema, 1);
}

TEST(Registration, EveryWrittenFormOfTheEventWord) {
  struct row {
    text word;
    text name;
    bool kword, separator, event_variable, keyword_variable, tocken_variable;
  };
  const row rows[] = {
      {U"_Begin", U"begin", true, false, false, false, false},
      {U"$$X", U"$x", false, true, false, false, false},
      {U"$__Name", U"_Name", false, false, true, false, true},
      {U"$_Name", U"Name", false, false, true, true, false},
      {U"$Name", U"Name", false, false, true, false, true},
      {U"$", U"", false, false, true, false, true},
      {U"..Eot", U".eot", false, true, false, false, false},
      {U".65", U"a", false, true, false, false, false},
      {U".+9", U"\t", false, true, false, false, false},
      {U".eot", U".eot", false, false, false, false, false},
      {U".", U".", false, false, false, false, false},
      {U".x1", U".x1", false, false, false, false, false},
      {U"\"A b\"", U"A b", false, true, false, false, false},
      {U"\"\"", U"", false, true, false, false, false},
      {U"\"say \"\"hi\"\"\"", U"say \"hi\"", false, true, false, false, false},
      {U"<=", U"<=", false, true, false, false, false},
      {U"ABC", U"abc", false, true, false, false, false},
  };
  for (const row& r : rows) {
    compiled_schema run = compile_line(r.word + U" `x` 1 -e");
    ASSERT_FALSE(run.error) << to_utf8(r.word) << ": " << run.error_text();
    const event_row& e = run.event(1);
    EXPECT_EQ(e.event_name, r.name) << to_utf8(r.word);
    EXPECT_EQ(e.action, U"x") << to_utf8(r.word);
    EXPECT_EQ(
        (std::array{e.kword, e.declared_separator, e.event_variable, e.keyword_variable,
                    e.tocken_variable}),
        (std::array{r.kword, r.separator, r.event_variable, r.keyword_variable, r.tocken_variable}))
        << to_utf8(r.word);
  }
}

TEST(Registration, CaseFoldingFollowsTheHeader) {
  compiled_schema run = compile_blocks(U"-r\n  _BEGIN `x` 1 -e\n  .65 `x` 1 -e\n  AB `x` 1 -e\n",
                                       U"\\\\keyword case insensetive=f\n"
                                       U"\\\\separator case insensetive=f\n");
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(run.event(1).event_name, U"BEGIN");
  EXPECT_EQ(run.event(2).event_name, U"A");
  EXPECT_EQ(run.event(3).event_name, U"AB");
}

TEST(Registration, AQuotedSeparatorMaySpanLinesAndTheLineGoesOnAfterIt) {
  compiled_schema run = compile_blocks(U"-r\n  \"a\nb\"  `x` 2 -e\n  _next `y` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(run.event(1).event_name, U"a\nb");
  EXPECT_EQ(run.event(1).level, 2);
  EXPECT_EQ(run.event(2).event_name, U"next");
  // The same on the rest of a header line.
  run = compile_blocks(U"-r  \"x\ny\" `x` 1 -e\n  _next `y` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(run.event(1).event_name, U"x\ny");
  EXPECT_EQ(run.event(1).action, U"x");
  EXPECT_EQ(run.event(2).event_name, U"next");
  EXPECT_EQ(compile_line(U"\"open `x` 1 -e").error_text(),
            in_schema("closing char =\"= is not found; text=`\"open` ... "));
}

TEST(Registration, CharacterCodesOutsideOneByteFail) {
  EXPECT_EQ(compile_line(U".300 `x` 1 -e").error_text(), in_schema("error asc value = `300`"));
  EXPECT_EQ(compile_line(U".-1 `x` 1 -e").error_text(), in_schema("error asc value = `-1`"));
}

TEST(Registration, TheKindsOfAction) {
  struct row {
    text line;
    text action;
    bool act_text;
  };
  const row rows[] = {
      {U"_a `it``s` 1", U"it`s", true},
      {U"_a ``  1", U"", true},
      {U"_a ..x=1 1", U"..x=1", false},
      {U"_a word_ 1", U"word ", false},
      {U"_a .`one..\\r..\\ntwo` 1", U".`one\r\ntwo", false},
      {U"_a .\"a b\" 1", U".\"a b", false},
  };
  for (const row& r : rows) {
    compiled_schema run = compile_line(r.line);
    ASSERT_FALSE(run.error) << to_utf8(r.line) << ": " << run.error_text();
    EXPECT_EQ(run.event(1).action, r.action) << to_utf8(r.line);
    EXPECT_EQ(run.event(1).act_text, r.act_text) << to_utf8(r.line);
    EXPECT_EQ(run.event(1).level, 1) << to_utf8(r.line);
  }
  EXPECT_EQ(compile_line(U"_a `open 1\n  _b `x` 1").error_text(),
            in_schema("closing char =`= is not found; text=``open` ... "));
}

TEST(Registration, AMultiLineActionIsReadFromTheFollowingLines) {
  compiled_schema run = compile_blocks(U"-r\n  _a .\"first\n  second..\\n\" 1 -e\n  _b `x` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(run.event(1).action, U".\"first\n  second\n");
  EXPECT_EQ(run.event(1).post_state_name[1], U"-e");
  EXPECT_EQ(run.event(2).event_name, U"b");
}

TEST(Registration, TheLevelWord) {
  struct row {
    text rest;
    std::int16_t level;
    std::int16_t next_states;
  };
  const row rows[] = {{U"1 -e", 1, 1},       {U"-1 -e", -1, 1}, {U"+2 -e -e", 2, 2},
                      {U"-e -e", 0, 1},      {U"1.5 -e", 0, 1}, {U"32767", 32767, 0},
                      {U"-32768", -32768, 0}};
  for (const row& r : rows) {
    compiled_schema run = compile_line(U"_a `x` " + r.rest);
    ASSERT_FALSE(run.error) << to_utf8(r.rest) << ": " << run.error_text();
    EXPECT_EQ(run.event(1).level, r.level) << to_utf8(r.rest);
    EXPECT_EQ(run.event(1).post_states_quantity, r.next_states ? r.next_states : 1)
        << to_utf8(r.rest);
  }
  compiled_schema overflow = compile_line(U"_a `x` 32768");
  ASSERT_TRUE(overflow.error);
  EXPECT_EQ(overflow.error->number(), error_number::overflow);
  EXPECT_EQ(overflow.error_text(), in_schema("Overflow"));
}

TEST(Registration, ProgramChainsHandGeneratedNamesFromLineToLine) {
  compiled_schema run = compile_blocks(
      U"-r\n"
      U"  _k `x` 1 -e\n"
      U"  _run `r`\n"                  // 2: starts a program
      U"  . print,\"a, b\" ignored\n"  // 3: a program line
      U"  . show ignored\n"            // 4: and another
      U"  _done `d` 0 -e\n"            // 5: ends the chain
      U"  _after `z` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const text names[] = {U"k", U"run", U".prg3", U".prg4", U".prg5", U"after"};
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(run.event(i).event_name, names[i - 1]) << i;
  const event_row& start = run.event(2);
  EXPECT_FALSE(start.act_text);
  EXPECT_EQ(start.post_events_quantity, 1);
  EXPECT_EQ(start.post_event[1], U".prg3");
  EXPECT_EQ(run.event(3).action, U"..print,\"a, b\"");
  EXPECT_EQ(run.event(3).post_event[1], U".prg4");
  EXPECT_EQ(run.event(4).action, U"..show");
  EXPECT_EQ(run.event(4).post_states_quantity, 1);  // the no-state marker
  EXPECT_EQ(run.event(4).post_state[1], builtin_state::none);
  EXPECT_EQ(run.event(5).action, U"d");
  EXPECT_EQ(run.event(5).post_events_quantity, 0);
  EXPECT_TRUE(run.state->reader.pending_program_name.empty());
}

TEST(Registration, PostEventsFeedbackAndMacroLetters) {
  compiled_schema run = compile_blocks(
      U"st1\nst2\n-r\n"
      U"  _a `x` 1 st1 st2 +.end +_kw +..x +.65 \\stop ignored ..b ' comment +no\n"
      U"  _b `y` 1 +\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const event_row& e = run.event(1);
  EXPECT_EQ(e.post_states_quantity, 2);
  ASSERT_EQ(e.post_events_quantity, 4);
  EXPECT_EQ(e.post_event[1], U".end");
  EXPECT_EQ(e.post_event[2], U"kw");
  EXPECT_EQ(e.post_event[3], U".x");
  EXPECT_EQ(e.post_event[4], U"A");
  EXPECT_EQ(e.feed_back, U"stop");
  EXPECT_EQ(e.store_fragment, 2);
  // "+" alone queues the next line's generated name.
  EXPECT_EQ(run.event(2).post_event[1], U".prg3");
  EXPECT_EQ(run.state->reader.pending_program_name, U".prg3");
}

TEST(Registration, MacroLettersRunFromBackquoteToTilde) {
  struct row {
    text item;
    std::int16_t stream;
    std::string error;
  };
  const row rows[] = {{U"..a", 1, ""},
                      {U"..~", 30, ""},
                      {U"..`", 0, ""},
                      {U"..", 0, in_schema("macro is empty ... ")},
                      {U"..A", 0, in_schema("illigal char in macro = `A`")},
                      {U"..\u00e9", 0, in_schema("illigal char in macro = `\u00e9`")}};
  for (const row& r : rows) {
    compiled_schema run = compile_line(U"_a `x` 1 -e " + r.item);
    EXPECT_EQ(run.error_text(), r.error) << to_utf8(r.item);
    if (r.error.empty()) {
      EXPECT_EQ(run.event(1).store_fragment, r.stream) << to_utf8(r.item);
    }
  }
}

TEST(Registration, FiveNextStatesAndFivePostEventsAtMost) {
  struct row {
    text items;
    std::string error;
  };
  const row rows[] = {
      {U"-e -e -e -e -e", ""},
      {U"-e -e -e -e -e -e", in_schema("too many states in a header ... ")},
      {U"+a +b +c +d +e", ""},
      {U"+a +b +c +d +e +f", in_schema("too many `next events` ... ")},
      {U"+a +b +c +d `e`", ""},
      {U"+a +b +c +d +e `f`", in_schema("no array space for `post-events`")},
  };
  for (const row& r : rows)
    EXPECT_EQ(compile_line(U"_a `x` 1 " + r.items).error_text(), r.error) << to_utf8(r.items);
}

TEST(Registration, TextPostEventsBecomeGeneratedRowsAfterTheirLine) {
  compiled_schema run = compile_blocks(
      U"-r\n"
      U"  _a `x` 1 -e `one` `t``wo`\n"
      U"  _b `y` 1 + `three`\n"
      U"  . stmt\n"  // a program line reads no level word
      U"  _c `z` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const schema_table& s = run.schema();
  // "+" names the next line after the row count of its own line.
  const text names[] = {U"a", U".!.1", U".!.2", U"b", U".!.3", U".prg5", U".prg7"};
  ASSERT_EQ(s.events_quantity, 7);  // the generated rows are registered once
  for (int i = 1; i <= 7; ++i)
    EXPECT_EQ(run.event(i).event_name, names[i - 1]) << i;
  EXPECT_EQ(run.event(1).post_event[1], U".!.1");
  EXPECT_EQ(run.event(1).post_event[2], U".!.2");
  const event_row& generated = run.event(3);
  EXPECT_EQ(generated.action, U"t`wo");
  EXPECT_TRUE(generated.act_text);
  EXPECT_EQ(generated.subschema, 1);
  EXPECT_EQ(generated.level, 0);
  ASSERT_EQ(generated.nest_depth, 1);
  EXPECT_EQ(generated.nest_state_index[1], builtin_state::any);
  EXPECT_EQ(generated.post_state[1], builtin_state::none);
  EXPECT_EQ(generated.post_events_quantity, 0);
  EXPECT_EQ(s.generated_name_counter, 3);
  EXPECT_EQ(compile_line(U"_a `x` 1 -e `open").error_text(),
            in_schema("closing char =`= is not found; text=``open` ... "));
}

TEST(Registration, ExtraEventsHaveALimitAndOneKind) {
  std::shared_ptr<recording_output> output;
  auto state = fresh_schema_state(output, U"");
  init_builtin_states(state->schema);
  for (int i = 1; i <= 100; ++i)
    create_extra_event(*state, U"t", U"text");
  EXPECT_EQ(state->schema.extra_events[100].name, U".!.100");
  try {
    create_extra_event(*state, U"t", U"text");
    ADD_FAILURE() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.description(), U"no space in extra_event array ... ");
  }
  state->schema.extra_events_quantity = 0;
  try {
    create_extra_event(*state, U"t", U"file");
    ADD_FAILURE() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.description(), U"cannot create and event with type file");
  }
}

TEST(Registration, NestHeadersAndTheLinesOfABlock) {
  compiled_schema run = compile_blocks(
      U"a,b,a  ' a comment on the header line\n"
      U"\n"
      U"  ' an indented comment\n"
      U"\t_k `x` 1 -e\n"
      U"' a comment in the first column does not end the block\n"
      U"  _l `y` 1 -e\n"
      U"b\n"
      U"  _m `z` 1 -e\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const schema_table& s = run.schema();
  EXPECT_EQ(s.states_quantity, 8);  // a and b once each
  ASSERT_EQ(s.events_quantity, 3);
  EXPECT_EQ(run.event(1).nest_depth, 3);
  EXPECT_EQ(run.event(1).nest_state_index[3], 7);
  EXPECT_EQ(run.event(2).nest_depth, 3);
  EXPECT_EQ(run.event(3).nest_depth, 1);
  EXPECT_EQ(run.event(3).nest_state_index[1], 8);
  EXPECT_EQ(compile_blocks(U"a,b,c,d,e,f\n").error_text(),
            in_schema("error in schema: states' nest is greater than 5"));
}

}  // namespace
}  // namespace zr
