#include "engine/variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

#include "common/errors.h"
#include "engine/flags.h"
#include "engine/streams.h"
#include "engine/test_support.h"

namespace zr {
namespace {

class VariablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_schema_table(state->schema);
    init_builtin_variables(*state);
    reset_streams(*state);
  }
  // Number and description of the error `action` raises.
  std::pair<int, text> failure_of(const std::function<void()>& action) {
    try {
      action();
    } catch (const engine_error& e) {
      return {e.number(), e.description()};
    }
    return {0, U"(no error)"};
  }
  std::string dump_text() {
    out->calls.clear();
    dump_variables(*state);
    return out->joined();
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST(NumericTexts, OneTestForEveryNumber) {
  struct row {
    text value;
    bool numeric;
  };
  const row rows[] = {
      {U"12", true},     {U"-7", true},    {U"+3", true},      {U" \t2.5 ", true}, {U".5", true},
      {U"5.", true},     {U"1e3", true},   {U"1E-05", true},   {U"-1.5e+2", true}, {U"", false},
      {U" ", false},     {U"+", false},    {U".", false},      {U"1e", false},     {U"e3", false},
      {U"12abc", false}, {U"0x10", false}, {U"1,000", false},  {U"$5", false},     {U"1 2", false},
      {U"--1", false},   {U"1e+", false},  {U"\u0663", false},
  };
  for (const row& r : rows)
    EXPECT_EQ(is_numeric(r.value), r.numeric) << to_utf8(r.value);
  EXPECT_DOUBLE_EQ(numeric_value(U" -1.5e+2 "), -150);
  EXPECT_DOUBLE_EQ(numeric_value(U".5"), 0.5);
  EXPECT_DOUBLE_EQ(numeric_value(U"1e-400"), 0);
  // Whole numbers, read on their own path up to 15 digits and by from_chars
  // beyond.
  const std::pair<text, double> whole[] = {{U"007", 7},
                                           {U"+42", 42},
                                           {U"-32768", -32768},
                                           {U"999999999999999", 999999999999999},
                                           {U"1234567890123456789", 1234567890123456789.0}};
  for (const auto& [value, expected] : whole)
    EXPECT_EQ(numeric_value(value), expected) << to_utf8(value);
  EXPECT_TRUE(std::signbit(numeric_value(U"-0")));
}

TEST(NumericTexts, SixteenBitConversionRoundsHalvesToEvenAndOverflows) {
  struct row {
    text value;
    int expected;  // 0 with overflow set: the overflow error
    bool overflow;
  };
  const row rows[] = {
      {U"2.5", 2, false},           {U"3.5", 4, false},    {U"-2.5", -2, false},
      {U"3.7", 4, false},           {U"-0.4", 0, false},   {U"32767.4", 32767, false},
      {U"-32768.5", -32768, false}, {U"32767.5", 0, true}, {U"-32769", 0, true},
      {U"1e300", 0, true},          {U"1e999", 0, true},
  };
  for (const row& r : rows) {
    if (r.overflow) {
      try {
        int16_of_text(r.value);
        ADD_FAILURE() << "no overflow for " << to_utf8(r.value);
      } catch (const engine_error& e) {
        EXPECT_EQ(e.number(), error_number::overflow) << to_utf8(r.value);
      }
    } else {
      EXPECT_EQ(int16_of_text(r.value), r.expected) << to_utf8(r.value);
    }
  }
  try {
    int16_of_text(U"abc");
    ADD_FAILURE() << "no type mismatch";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::type_mismatch);
  }
  EXPECT_EQ(to_int32(2147483647.4), 2147483647);
  EXPECT_EQ(to_int32(4.5), 4);
}

TEST_F(VariablesTest, IndicesOfBuiltinsNamesAndMacroVariables) {
  EXPECT_EQ(state->variables.vvv_count, 6);
  struct row {
    text name;
    std::int16_t index;
  };
  const row rows[] = {
      {U"", 0},       {U"tocken", 1}, {U"tock", 2},   {U"ttype", 3},   {U"fff", 4},
      {U"sss", 5},    {U"zzz", 6},    {U"Tocken", 7}, {U"tocken ", 8}, {U"Tocken", 7},
      {U"a..", 3001}, {U"~..", 3030}, {U"`..", 3000}, {U"ab..", 3001}, {U"a.", 9},
  };
  for (const row& r : rows)
    EXPECT_EQ(vvv_index(*state, r.name), r.index) << to_utf8(r.name);
  // Macro names are never created as named variables.
  EXPECT_EQ(state->variables.vvv_count, 9);
  EXPECT_EQ(vvv_value(*state, U""), U"null");
}

TEST_F(VariablesTest, MacroNamesWithoutAStreamLetterAreRejected) {
  for (text name : {U"A..", U"..", U"...", U"_..", U"\u007f..", U"\u00e9.."}) {
    auto [number, description] = failure_of([&] { vvv_index(*state, name); });
    EXPECT_EQ(number, error_number::index_range) << to_utf8(name);
    EXPECT_EQ(description, U"macro variable name `" + name +
                               U"` does not begin with a stream letter (` to ~) ... ");
  }
  EXPECT_EQ(state->variables.vvv_count, 6);
  EXPECT_EQ(failure_of([&] { macro_variable(*state, U'A'); }).first, error_number::index_range);
  EXPECT_EQ(failure_of([&] { macro_variable(*state, U'\u007f'); }).first,
            error_number::index_range);
  EXPECT_EQ(failure_of([&] { table_value(*state, 3031); }).first, error_number::index_range);
  EXPECT_EQ(failure_of([&] { table_value(*state, -1); }).first, error_number::index_range);
}

TEST_F(VariablesTest, AnotherMacroEscapeNamesOtherMacroVariables) {
  state->schema.header.macro_variable_escape = U'!';
  state->schema.names = derive_names(state->schema.header);
  init_builtin_variables(*state);
  EXPECT_EQ(vvv_index(*state, U"b!!"), 3002);
  EXPECT_EQ(vvv_index(*state, U"b.."), 7);  // an ordinary name now
  EXPECT_EQ(state->variables.names[3002], U"b!!");
}

TEST_F(VariablesTest, AtMost193NamedVariables) {
  for (int k = 1; k <= 193; ++k)
    EXPECT_EQ(vvv_index(*state, U"v" + number_text(k)), 6 + k);
  auto [number, description] = failure_of([&] { vvv_index(*state, U"one too many"); });
  EXPECT_EQ(number, error_number::engine);
  EXPECT_EQ(description, U"when creating a new variable, end of space =`3000` encountered ...");
  // The table is unharmed: the count stays at the last name, old names work.
  EXPECT_EQ(state->variables.vvv_count, 199);
  EXPECT_EQ(vvv_index(*state, U"v193"), 199);
  EXPECT_EQ(state->variables.names[200], U"");
}

TEST_F(VariablesTest, ImbeddedNumber) {
  table_value(*state, vvv_index(*state, U"n")) = U" 3.7 ";
  EXPECT_EQ(imbedded_number(*state, U"n"), U"4");
  EXPECT_EQ(vvv_value(*state, U"n"), U" 3.7 ");
  auto [number, description] = failure_of([&] { imbedded_number(*state, U"fresh"); });
  EXPECT_EQ(number, error_number::engine);
  EXPECT_EQ(description, U"imbedded variable `fresh` is not numeric ... ");
}

TEST_F(VariablesTest, StackBoundsAndNumbers) {
  table_value(*state, 2999) = U"top";
  table_value(*state, 200) = U"2.5";
  table_value(*state, 201) = U"abc";
  EXPECT_EQ(stack_text(*state, 2799), U"top");
  EXPECT_EQ(stack_number(*state, 0), 2);
  EXPECT_EQ(stack_number(*state, 1), 10);
  EXPECT_EQ(stack_number(*state, 2), 10);  // empty
  table_value(*state, 202) = U"40000";
  EXPECT_EQ(failure_of([&] { stack_number(*state, 2); }).first, error_number::overflow);
  for (long long i : {2800LL, -1LL}) {
    EXPECT_EQ(
        failure_of([&] { stack_text(*state, i); }),
        std::make_pair(error_number::engine, U"wrong value of stack index=" + number_text(i)));
    EXPECT_EQ(failure_of([&] { stack_number(*state, i); }).second,
              U"wrong value of stack index=" + number_text(i));
  }
}

TEST_F(VariablesTest, NextDialogForgetsNamesButKeepsTheStack) {
  table_value(*state, vvv_index(*state, U"x")) = U"old";
  table_value(*state, 250) = U"kept";
  state->variables.sss = 3;
  init_builtin_variables(*state);
  EXPECT_EQ(state->variables.vvv_count, 6);
  EXPECT_EQ(state->variables.sss, 10);
  EXPECT_EQ(vvv_index(*state, U"x"), 7);
  EXPECT_EQ(vvv_value(*state, U"x"), U"");
  EXPECT_EQ(stack_text(*state, 50), U"kept");
}

TEST_F(VariablesTest, BuiltinsTravelBetweenEngineStateAndTable) {
  state->run.tocken = U"abc";
  state->run.coming_event = U".id";
  state->run.ttype = token_type::identifier;
  state->variables.fff = -7;
  load_builtin_variables(*state);
  EXPECT_EQ(vvv_value(*state, U"fff"), U"-7");
  EXPECT_EQ(vvv_value(*state, U"zzz"), U"10");
  table_value(*state, 1) = U"new";
  table_value(*state, 4) = U"2.5";
  table_value(*state, 5) = U"abc";
  EXPECT_EQ(failure_of([&] { store_builtin_variables(*state); }).first,
            error_number::type_mismatch);
  // What came before the failing entry is stored; sss keeps its value.
  EXPECT_EQ(state->run.tocken, U"new");
  EXPECT_EQ(state->variables.fff, 2);
  EXPECT_EQ(state->variables.sss, 10);
  EXPECT_EQ(vvv_value(*state, U"sss"), U"abc");
  table_value(*state, 5) = U"3";
  table_value(*state, 6) = U"99999";
  EXPECT_EQ(failure_of([&] { store_builtin_variables(*state); }).first, error_number::overflow);
  EXPECT_EQ(state->variables.sss, 3);
}

TEST_F(VariablesTest, DumpWritesNothingWithoutDebug) {
  EXPECT_EQ(dump_text(), "");
}

TEST_F(VariablesTest, DumpListsVariablesAndOpenStreams) {
  state->run.tocken = U"tk";
  state->run.coming_event = U".id";
  state->run.ttype = token_type::identifier;
  load_builtin_variables(*state);
  table_value(*state, vvv_index(*state, U"x")) = U"hello";
  control_thread(*state, 3);
  append_to_streams(*state, U"abc");
  control_thread(*state, 1);  // open and empty: not listed
  macro_variable(*state, U'b').assign(U"not open");
  table_value(*state, 200) = U"stack values only in the full dump";
  switch_debug_on(*state);
  state->dialog.nest = 1;
  EXPECT_EQ(dump_text(),
            "\t\t\t. "
            "  "
            "built-in variables: \r\n"
            "variable 0 `` = `null`\r\n"
            "variable 1 `tocken` = `tk`\r\n"
            "variable 2 `tock` = `.id`\r\n"
            "variable 3 `ttype` = `i`\r\n"
            "variable 4 `fff` = `0`\r\n"
            "variable 5 `sss` = `10`\r\n"
            "variable 6 `zzz` = `10`\r\n"
            "variable 7 `x` = `hello`\r\n"
            "macro c = abc\r\n"
            "\r\n");
}

TEST_F(VariablesTest, FullDumpListsEveryStreamAndTheStack) {
  load_builtin_variables(*state);
  macro_variable(*state, U'~').assign(U"zz");
  macro_variable(*state, U'`').assign(U"m0");
  table_value(*state, 200) = U"s0";
  table_value(*state, 2999) = U"last";
  state->variables.full_dump = true;
  switch_debug_on(*state);
  EXPECT_EQ(dump_text(),
            "\t\t\t. "
            "built-in variables: \r\n"
            "variable 0 `` = `null`\r\n"
            "variable 1 `tocken` = ``\r\n"
            "variable 2 `tock` = ``\r\n"
            "variable 3 `ttype` = ``\r\n"
            "variable 4 `fff` = `0`\r\n"
            "variable 5 `sss` = `10`\r\n"
            "variable 6 `zzz` = `10`\r\n"
            "macro ~ = zz\r\n"
            "\r\n"
            "full vvv size = 3030\r\n"
            "stack = 200 - 3000\r\n"
            " vvv(200)=s0\r\n"
            " vvv(2999)=last\r\n"
            " vvv(3000)=m0\r\n"
            "\r\n");
}

TEST_F(VariablesTest, FullDumpWithStreamsOpenExaminesAsManyStreamsAsAreOpen) {
  macro_variable(*state, U'a').assign(U"one");
  control_thread(*state, 2);
  append_to_streams(*state, U"two");
  state->variables.full_dump = true;
  switch_debug_on(*state);
  std::string dump = dump_text();
  EXPECT_NE(dump.find("macro a = one\r\n\r\nfull vvv size"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("macro b"), std::string::npos) << dump;
}

// A long ASCII value is held as bytes and turned back when read as text;
// whatever form it has, every reading gives what plain text would hold.
// Random appends of ASCII text, ASCII bytes and text outside ASCII, readings
// as text, assignments, against a plain text.
TEST(ValueText, EveryFormReadsAsPlainText) {
  std::mt19937 random(20261207);
  value_text value;
  text model;
  auto chunk = [&](char32_t c) { return text(random() % (value_text::bytes_from / 2), c); };
  int held_as_bytes = 0;
  auto held = [&] { return value.read([](auto view) { return text(view.begin(), view.end()); }); };
  for (int step = 0; step < 400; ++step) {
    switch (random() % 8) {
      case 0:
      case 1:
      case 2: {
        const text more = chunk(U'a' + step % 26);
        value.append(text_view(more));
        model += more;
        break;
      }
      case 3: {
        const text more = chunk(U'b');
        value.append(std::string(more.begin(), more.end()));
        model += more;
        break;
      }
      case 4:
        value.append(text_view(U"\u00e9"));  // outside ASCII
        model += U"\u00e9";
        break;
      case 5:
        EXPECT_EQ(value.wide(), model);
        break;
      case 6:
        value.append(text_view(value.wide()).substr(0, 1000));  // a view into itself
        model += model.substr(0, 1000);
        break;
      default:
        value.assign(U"fresh");
        model = U"fresh";
    }
    ASSERT_EQ(value.size(), model.size()) << step;
    ASSERT_EQ(held(), model) << step;
    held_as_bytes += value.read([](auto view) { return sizeof(view[0]) == 1; });
  }
  EXPECT_GT(held_as_bytes, 10);  // the bytes form was reached and used
}

}  // namespace
}  // namespace zr
