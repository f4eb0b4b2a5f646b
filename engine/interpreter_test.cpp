#include "engine/interpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "engine/flags.h"
#include "engine/test_support.h"

namespace zr {
namespace {

using assignments = std::vector<std::pair<text, text>>;

class InterpreterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_schema_table(state->schema);
    init_builtin_variables(*state);
    reset_streams(*state);
  }
  void set(const assignments& values) {
    for (const auto& [name, value] : values)
      table_value(*state, vvv_index(*state, name)) = value;
  }
  text value(text_view name) { return vvv_value(*state, name); }
  // Runs the statement from its text or, with read_ahead, as a dialog runs a
  // statement action: split once when the schema is compiled.
  bool run(text_view statement) {
    if (read_ahead) {
      const char32_t p = state->schema.header.external_proc_par;
      if (auto read = read_operator_statement(p, statement)) {
        run_operator_statement(*state, statement, *read);
        return true;
      }
    }
    return run_action_statement(*state, statement);
  }
  std::pair<int, text> failure_of(text_view statement) {
    try {
      run(statement);
    } catch (const engine_error& e) {
      return {e.number(), e.description()};
    }
    return {0, U"(no error)"};
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
  bool read_ahead = false;
};

// The report an operator statement's failure carries, with the initial
// segment (sss 10, fff 0) and empty stack elements.
text operator_report(text_view statement, int ix1, text_view o1, text_view o2, int ix2,
                     int sss = 10) {
  text report = U"error/act\r\nstatement in progress=`" + text(statement) + U"`\r\noperation=" +
                text(statement.substr(0, 1)) + U"\r\noperand 1=vvv(" + number_text(ix1) + U")=`" +
                text(o1) + U"` oper2=`" + text(o2) + U"` ix2=`" + number_text(ix2) +
                U"`\r\nsegment=" + number_text(sss) + U"   offset=0\r\n";
  for (int k = 0; k <= 9; ++k)
    report += U" stack element(" + number_text(k) + U")=``\r\n";
  return report;
}

TEST_F(InterpreterTest, OperatorStatements) {
  struct row {
    assignments before;
    text statement;
    text name;
    text expected;
  };
  const row rows[] = {
      {{}, U"=x,12%", U"x", U"12"},
      {{}, U"=x,3.7%", U"x", U"4"},
      {{}, U"=x,2.5%", U"x", U"2"},
      {{}, U"=x,1e3#", U"x", U"1000"},
      {{}, U"=x,12abc", U"x", U"12abc"},
      {{}, U"=x,12", U"x", U"12"},
      {{}, U"=x,0.1#", U"x", U"0.1"},
      {{}, U"=x,0.1!", U"x", U"0.1"},
      {{}, U"=x,0.00001#", U"x", U"1E-05"},
      {{}, U"=x,12345678!", U"x", U"1.234568E+07"},
      {{}, U"=x,1e15#", U"x", U"1E+15"},
      {{}, U"=x,123456789012345#", U"x", U"123456789012345"},
      {{}, U"=x,2.5&", U"x", U"2"},
      {{}, U"=x,3.5&", U"x", U"4"},
      {{}, U"=x,100000&", U"x", U"100000"},
      {{{U"x", U"ab"}, {U"y", U"cd"}}, U"&x,y", U"x", U"abcd"},
      // Operand 2 is operand 1: read before the operation changes it.
      {{{U"x", U"abcdefghijklmnopqrstu"}},
       U"&x,x",
       U"x",
       U"abcdefghijklmnopqrstuabcdefghijklmnopqrstu"},
      {{{U"x", U"abc"}}, U"=x,x", U"x", U"abc"},
      {{{U"n", U"5"}}, U"+n", U"n", U"5"},
      {{{U"n", U"5"}, {U"fff", U"3"}}, U"+n", U"n", U"5"},  // fff comes from the engine: 0
      {{{U"n", U"5"}}, U"+n,1", U"n", U"6"},
      {{{U"n", U"5"}}, U"-n,7", U"n", U"-2"},
      {{{U"n", U"-4"}}, U"*n,3", U"n", U"-12"},
      {{{U"x", U"7"}}, U"/x,2", U"x", U"3.5"},
      {{{U"x", U"4"}}, U"/x,2", U"x", U"2"},
      {{{U"x", U"1"}}, U"/x,3", U"x", U"0.333333333333333"},
      {{{U"x", U"1"}}, U"/x,32767", U"x", U"3.05185094759972E-05"},
      {{{U"x", U"2.5"}}, U"+x,0", U"x", U"2"},
      {{{U"a..", U"abc"}}, U"=x,a..", U"x", U"abc"},
      {{}, U"=x,\"a,b\"", U"x", U"a,b"},
      {{}, U"=x,\"it\"\"s\"", U"x", U"it\"s"},
      {{}, U"=x,\"abc\"tail", U"x", U"abc"},
      {{{U"a..", U"abc"}}, U"=a..,\"\"", U"a..", U""},
      {{{U"y,z", U"q"}}, U"=x,y,z", U"x", U"q"},
      {{{U"-5", U"v"}}, U"=x,-5", U"x", U"v"},
      {{{U".5", U"w"}}, U"=x,.5", U"x", U"w"},
      {{}, U"#=x,1", U"x", U"1"},
      {{}, U"=x", U"x", U"0"},
      {{}, U"=x,", U"x", U"0"},
      {{}, U"=,5", U"", U"5"},
      {{{U"x", U"3"}}, U"%x,1", U"x", U"3"},
      {{{U"x", U"3"}}, U".x,1", U"x", U"3"},
      {{{U"x", U"3"}}, U":x", U"x", U"3"},
  };
  for (bool ahead : {false, true}) {
    read_ahead = ahead;
    for (const row& r : rows) {
      SetUp();
      set(r.before);
      EXPECT_TRUE(run(r.statement)) << to_utf8(r.statement);
      EXPECT_EQ(value(r.name), r.expected) << to_utf8(r.statement) << " read ahead " << ahead;
    }
  }
}

TEST_F(InterpreterTest, StackOperators) {
  set({{U"x", U"ex"}});
  EXPECT_TRUE(run_action_statement(*state, U"(x,3"));
  EXPECT_EQ(stack_text(*state, 103), U"ex");
  EXPECT_TRUE(run_action_statement(*state, U")y,3"));
  EXPECT_EQ(value(U"y"), U"ex");
  EXPECT_TRUE(run_action_statement(*state, U"[x,2799"));
  EXPECT_EQ(table_value(*state, 2999), U"ex");
  table_value(*state, 200) = U"zero";
  EXPECT_TRUE(run_action_statement(*state, U"]y,0"));
  EXPECT_EQ(value(U"y"), U"zero");
  // Re-aiming the segment through sss moves "(" and ")".
  EXPECT_TRUE(run_action_statement(*state, U"=sss,3"));
  EXPECT_EQ(state->variables.sss, 3);
  EXPECT_TRUE(run_action_statement(*state, U"(x,9"));
  EXPECT_EQ(stack_text(*state, 39), U"ex");
  // A stack value survives into the next dialog.
  init_builtin_variables(*state);
  EXPECT_TRUE(run_action_statement(*state, U"]z,39"));
  EXPECT_EQ(value(U"z"), U"ex");
}

TEST_F(InterpreterTest, BuiltinsTakeEffectInTheEngine) {
  state->run.tocken = U"old";
  state->run.ttype = token_type::identifier;
  state->variables.fff = 4;
  EXPECT_TRUE(run_action_statement(*state, U"=tocken,\"new\""));
  EXPECT_EQ(state->run.tocken, U"new");
  set({{U"n", U"1"}});
  EXPECT_TRUE(run_action_statement(*state, U"+n"));  // fff is the default operand 2
  EXPECT_EQ(value(U"n"), U"5");
  EXPECT_TRUE(run_action_statement(*state, U"=tock,ttype"));
  EXPECT_EQ(state->run.coming_event, U"i");
  EXPECT_TRUE(run_action_statement(*state, U"+fff,1"));
  EXPECT_EQ(state->variables.fff, 5);
}

TEST_F(InterpreterTest, OperatorFailuresCarryTheReport) {
  struct row {
    assignments before;
    text statement;
    int number;
    text message;
    int ix1;
    text o1;
    text o2;
    int ix2;
  };
  const row rows[] = {
      {{{U"x", U"30000"}},
       U"+x,30000",
       error_number::overflow,
       U"Overflow",
       7,
       U"30000",
       U"30000",
       0},
      {{{U"x", U"300"}}, U"*x,300", error_number::overflow, U"Overflow", 7, U"300", U"300", 0},
      {{{U"x", U"7"}},
       U"/x,0",
       error_number::division_by_zero,
       U"Division by zero",
       7,
       U"7",
       U"0",
       0},
      {{{U"x", U"7"}},
       U"/x,0.4",
       error_number::division_by_zero,
       U"Division by zero",
       7,
       U"7",
       U"0.4",
       0},
      {{{U"x", U"1"}},
       U"+x,y",
       error_number::engine,
       U"operand 2 =`` is not numeric",
       7,
       U"1",
       U"",
       8},
      {{{U"x", U"abc"}, {U"y", U"1"}},
       U"+x,y",
       error_number::engine,
       U"operand 1 =`abc` is not numeric",
       7,
       U"abc",
       U"1",
       8},
      {{}, U"%x,1", error_number::engine, U"operand 1 =`` is not numeric", 7, U"", U"1", 0},
      {{},
       U"=x,\"abc",
       error_number::engine,
       U"closing char =\"= is not found; text=`\"abc` ... ",
       7,
       U"",
       U"",
       0},
      {{},
       U"]x,2800",
       error_number::engine,
       U"stack subsript `2800` is out of limits ... ",
       7,
       U"",
       U"2800",
       0},
      {{{U"y", U"-1"}},
       U"[x,y",
       error_number::engine,
       U"stack subsript `-1` is out of limits ... ",
       8,
       U"",
       U"-1",
       7},
      {{{U"y", U"abc"}},
       U"]x,y",
       error_number::engine,
       U"stack subsript `abc` is not numeric ... ",
       8,
       U"",
       U"abc",
       7},
      {{}, U"]x,y", error_number::engine, U"stack subsript `` is not numeric ... ", 7, U"", U"", 8},
      {{},
       U")x,10",
       error_number::engine,
       U"stack offset `10` is out of limits ... ",
       7,
       U"",
       U"10",
       0},
      {{{U"y", U"-1"}},
       U"(x,y",
       error_number::engine,
       U"stack offset `-1` is out of limits ... ",
       8,
       U"",
       U"-1",
       7},
      {{}, U"(x,q", error_number::engine, U"stack offset `` is not numeric ... ", 7, U"", U"", 8},
      {{}, U"]x,99999", error_number::overflow, U"Overflow", 7, U"", U"99999", 0},
      {{}, U"=x,5x#", error_number::type_mismatch, U"Type mismatch", 7, U"", U"", 0},
      {{}, U"=x,70000%", error_number::overflow, U"Overflow", 7, U"", U"", 0},
      {{}, U"=x,1e40!", error_number::overflow, U"Overflow", 7, U"", U"", 0},
      {{}, U"=x,3000000000&", error_number::overflow, U"Overflow", 7, U"", U"", 0},
      {{},
       U"=A..,1",
       error_number::index_range,
       U"macro variable name `A..` does not begin with a stream letter (` to ~) ... ",
       0,
       U"",
       U"",
       0},
      {{},
       U"=x,..",
       error_number::index_range,
       U"macro variable name `..` does not begin with a stream letter (` to ~) ... ",
       7,
       U"",
       U"",
       0},
  };
  for (bool ahead : {false, true}) {
    read_ahead = ahead;
    for (const row& r : rows) {
      SetUp();
      set(r.before);
      auto [number, description] = failure_of(r.statement);
      EXPECT_EQ(number, r.number) << to_utf8(r.statement);
      EXPECT_EQ(description,
                r.message + U"\r\n" + operator_report(r.statement, r.ix1, r.o1, r.o2, r.ix2))
          << to_utf8(r.statement) << " read ahead " << ahead;
    }
  }
}

TEST(ReadOperatorStatement, SplitsOnceAndWorksOutLiteralsThatCannotFail) {
  struct row {
    text statement;
    char32_t op;
    text name1;
    operand2_form form;
    text operand2;
  };
  const auto value = operand2_form::value;
  const row rows[] = {
      {U"=x,12%", U'=', U"x", value, U"12"},
      {U"=x,\"a,b\"tail", U'=', U"x", value, U"a,b"},
      {U"=x,12abc", U'=', U"x", value, U"12abc"},
      {U"+n", U'+', U"n", operand2_form::variable, U"fff"},
      {U"#&a..,b..,c", U'&', U"a..", operand2_form::variable, U"b..,c"},
      // Left as written: they fail when they run, after operand 1 is read.
      {U"=x,5x#", U'=', U"x", operand2_form::number, U"5x#"},
      {U"=x,\"abc", U'=', U"x", operand2_form::quoted, U"\"abc"},
  };
  for (const row& r : rows) {
    const auto read = read_operator_statement(U'#', r.statement);
    ASSERT_TRUE(read) << to_utf8(r.statement);
    EXPECT_EQ(read->op, r.op) << to_utf8(r.statement);
    EXPECT_EQ(read->name1, r.name1) << to_utf8(r.statement);
    EXPECT_EQ(read->form, r.form) << to_utf8(r.statement);
    EXPECT_EQ(read->operand2, r.operand2) << to_utf8(r.statement);
  }
  // Run from their text: they fail to split, or are commands.
  for (text_view statement : {U"", U"#", U"#?x", U"debug", U"mysub#=x"})
    EXPECT_FALSE(read_operator_statement(U'#', statement)) << to_utf8(statement);
}

// A statement remembers where its variables are, for one dialog: the next
// one creates them again in the order its statements name them.
TEST_F(InterpreterTest, AStatementReadAheadFindsItsVariablesAnewInEveryDialog) {
  const auto read = read_operator_statement(U'#', U"&y,z");
  ASSERT_TRUE(read);
  set({{U"z", U"1"}});
  run_operator_statement(*state, U"&y,z", *read);
  run_operator_statement(*state, U"&y,z", *read);
  EXPECT_EQ(vvv_index(*state, U"y"), 8);
  EXPECT_EQ(value(U"y"), U"11");
  init_builtin_variables(*state);
  set({{U"q", U"q"}});
  run_operator_statement(*state, U"&y,z", *read);
  // Read by index: a lookup by name would create what is missing.
  const variable_table& table = state->variables;
  EXPECT_EQ(table.vvv_count, 9);
  EXPECT_EQ(table.names[8], U"y");
  EXPECT_EQ(table.names[9], U"z");
  EXPECT_EQ(table_value(*state, 7), U"q");
  EXPECT_EQ(table_value(*state, 8), U"");
}

// Entries 1..6 read as if loaded at every operator statement, whatever wrote
// them in between, and a built-in destination alone is stored back.
TEST_F(InterpreterTest, BuiltinsReadAsLoadedAtEveryStatement) {
  struct row {
    std::function<void(engine_state&)> between;
    text statement;
    text name;
    text expected;
  };
  const row rows[] = {
      {[](engine_state&) {}, U"=a,sss", U"a", U"10"},
      {[](engine_state& s) { table_value(s, 5) = U"x"; }, U"=a,sss", U"a", U"10"},
      {[](engine_state& s) { s.variables.sss = -3; }, U"=a,sss", U"a", U"-3"},
      {[](engine_state& s) { s.variables.sss = 10; }, U"=a,sss", U"a", U"10"},
      {[](engine_state& s) { s.run.tocken = U"long enough to be compared whole"; }, U"=a,tocken",
       U"a", U"long enough to be compared whole"},
      {[](engine_state& s) { s.run.tocken = U"long enough to be compared WHOLE"; }, U"=a,tocken",
       U"a", U"long enough to be compared WHOLE"},
      {[](engine_state& s) { table_value(s, 1) = U"t"; }, U"=zzz,7", U"tocken",
       U"long enough to be compared WHOLE"},
      {[](engine_state& s) { s.run.coming_event = U"ev"; }, U"+zzz,1", U"tock", U"ev"},
  };
  for (const row& r : rows) {
    r.between(*state);
    EXPECT_TRUE(run(r.statement)) << to_utf8(r.statement);
    EXPECT_EQ(value(r.name), r.expected) << to_utf8(r.statement);
  }
  EXPECT_EQ(state->variables.zzz, 8);
  EXPECT_EQ(state->run.tocken, U"long enough to be compared WHOLE");
  EXPECT_EQ(table_value(*state, 5), U"10");
}

TEST_F(InterpreterTest, SegmentOutsideTheStackReportsEmptyElements) {
  state->variables.sss = 280;
  table_value(*state, 2999) = U"not shown";
  auto [number, description] = failure_of(U"(x,0");
  EXPECT_EQ(number, error_number::engine);
  EXPECT_EQ(description, U"stack subsript `2800` is out of limits ... \r\n" +
                             operator_report(U"(x,0", 7, U"", U"0", 0, 280));
}

TEST_F(InterpreterTest, ReportShowsTheCurrentSegmentAndOffset) {
  state->variables.fff = 3;
  set({{U"x", U"7"}});
  table_value(*state, 300) = U"e0";
  table_value(*state, 309) = U"e9";
  table_value(*state, 310) = U"next segment";
  auto [number, description] = failure_of(U"/x,0");
  EXPECT_EQ(number, error_number::division_by_zero);
  EXPECT_EQ(description,
            U"Division by zero\r\n"
            U"error/act\r\n"
            U"statement in progress=`/x,0`\r\n"
            U"operation=/\r\n"
            U"operand 1=vvv(7)=`7` oper2=`0` ix2=`0`\r\n"
            U"segment=10   offset=3\r\n"
            U" stack element(0)=`e0`\r\n"
            U" stack element(1)=``\r\n"
            U" stack element(2)=``\r\n"
            U" stack element(3)=``\r\n"
            U" stack element(4)=``\r\n"
            U" stack element(5)=``\r\n"
            U" stack element(6)=``\r\n"
            U" stack element(7)=``\r\n"
            U" stack element(8)=``\r\n"
            U" stack element(9)=`e9`\r\n");
}

TEST_F(InterpreterTest, FailedStoreKeepsTheEntryAndTheEngineValue) {
  set({{U"y", U"abc"}});
  auto [number, description] = failure_of(U"=sss,y");
  EXPECT_EQ(number, error_number::type_mismatch);
  EXPECT_EQ(description, U"Type mismatch\r\n" + operator_report(U"=sss,y", 5, U"10", U"abc", 7));
  EXPECT_EQ(table_value(*state, 5), U"abc");
  EXPECT_EQ(state->variables.sss, 10);
}

TEST_F(InterpreterTest, FailedStoreReportsOperand2AsItWasRead) {
  state->variables.sss = 20000;
  auto [number, description] = failure_of(U"&sss,sss");
  EXPECT_EQ(number, error_number::overflow);
  EXPECT_EQ(description,
            U"Overflow\r\n" + operator_report(U"&sss,sss", 5, U"20000", U"20000", 5, 20000));
}

TEST_F(InterpreterTest, StatementsWithoutAnOperator) {
  struct row {
    text statement;
    text message;
    text operation;
  };
  const row rows[] = {
      {U"", U"an operator statement needs an operator and a variable name ... ", U""},
      {U"#", U"an operator statement needs an operator and a variable name ... ", U"#"},
      {U"#?x", U"operator `?` is not known ... ", U"#"},
  };
  for (const row& r : rows) {
    auto [number, description] = failure_of(r.statement);
    EXPECT_EQ(number, error_number::invalid_argument) << to_utf8(r.statement);
    EXPECT_EQ(description, r.message + U"\r\n" + operator_report(r.statement, 0, U"", U"", 0))
        << to_utf8(r.statement);
  }
}

TEST_F(InterpreterTest, OperatorTraceWhileDebugging) {
  set({{U"x", U"5"}});
  switch_debug_on(*state);
  out->calls.clear();
  EXPECT_TRUE(run_action_statement(*state, U"+x,1"));
  std::string all = out->joined();
  // Dump before, trace line, dump after.
  EXPECT_NE(all.find("\t\t\t. x = oper1=vvv(7)=`5` oper2=`1` ix2=`0`\r\n"), std::string::npos);
  EXPECT_NE(all.find("variable 7 `x` = `5`"), std::string::npos);
  EXPECT_NE(all.find("variable 7 `x` = `6`"), std::string::npos);
}

TEST_F(InterpreterTest, CommandsOnTheToken) {
  struct row {
    text ttype;
    text statement;
    text expected;
  };
  const row rows[] = {
      {U"i", U"tocken#<", U"<ab"},
      {U"i", U"_tocken#<", U"<ab"},
      {U"i", U"tocken_#>", U"ab>"},
      {U"i", U"_tocken_#|", U"|ab|"},
      {U"i", U"tocken_i#<", U"<ab"},
      {U"i", U"tocken_i_#>", U"ab>"},
      {U"n", U"tocken_i#<", U"ab"},
      {U"s", U"tocken_i_#>", U"ab"},
      {U"i", U"tocken", U"ab"},
      {U"i", U"tocken##", U"#ab"},
      {U"i", U"replace_in_tocken#b#_#", U"a_"},
      {U"i", U"replace_in_tocken#ab#", U"ab"},
      {U"i", U"replace_in_tocken#ab##", U""},
      {U"i", U"replace_in_tocken##x#", U"ab"},
      {U"i", U"replace_in_tocken#a#b#c#", U"bb"},
  };
  for (const row& r : rows) {
    state->run.tocken = U"ab";
    state->run.ttype = token_type_of(r.ttype);
    EXPECT_TRUE(run_action_statement(*state, r.statement)) << to_utf8(r.statement);
    EXPECT_EQ(state->run.tocken, r.expected) << to_utf8(r.statement);
  }
}

TEST_F(InterpreterTest, UnknownCommandsChangeNothing) {
  for (text statement : {U"DEBUG", U" debug", U"mysub#x", U"debug ", U"Save"}) {
    EXPECT_FALSE(run_action_statement(*state, statement)) << to_utf8(statement);
  }
  EXPECT_FALSE(state->flags.debug_on);
  EXPECT_EQ(state->run.save_line, U"");
  EXPECT_EQ(state->variables.vvv_count, 6);
  EXPECT_TRUE(out->calls.empty());
}

TEST_F(InterpreterTest, CommandsOnFlagsAndHeaderLines) {
  EXPECT_TRUE(run_action_statement(*state, U"debug"));
  EXPECT_TRUE(state->flags.debug_on);
  EXPECT_TRUE(run_action_statement(*state, U"debugoff#x"));
  EXPECT_FALSE(state->flags.debug_on);
  EXPECT_TRUE(run_action_statement(*state, U"pdebug"));
  EXPECT_TRUE(state->flags.debug_on);
  EXPECT_TRUE(state->variables.full_dump);
  EXPECT_TRUE(run_action_statement(*state, U"pdeboff"));
  EXPECT_FALSE(state->variables.full_dump);
  EXPECT_TRUE(state->flags.debug_on);
  EXPECT_TRUE(run_action_statement(*state, U"suspend"));
  EXPECT_TRUE(state->flags.suspended);
  EXPECT_TRUE(run_action_statement(*state, U"resumed"));
  EXPECT_FALSE(state->flags.suspended);
  EXPECT_TRUE(run_action_statement(*state, U"suspend_at#25"));
  EXPECT_TRUE(run_action_statement(*state, U"resumed_at#100000"));
  EXPECT_EQ(state->dialog.suspend_at_step, 25);
  EXPECT_EQ(state->dialog.resume_at_step, 100000);
  EXPECT_TRUE(run_action_statement(*state, U"save#ignored"));
  EXPECT_TRUE(run_action_statement(*state, U"reengine#next.txt"));
  EXPECT_TRUE(run_action_statement(*state, U"redirect#out.txt"));
  EXPECT_EQ(state->run.save_line, U".,");
  EXPECT_EQ(state->run.reengine_line, U"next.txt,");
  EXPECT_EQ(state->run.redirect_line, U"out.txt");
  EXPECT_TRUE(run_action_statement(*state, U"\\\\indent body=#____"));
  EXPECT_EQ(state->schema.header.indent_body, U"    ");
}

TEST_F(InterpreterTest, CaseCommands) {
  header_settings& h = state->schema.header;
  // Before any "\\ignore_case" the saved flags are all false.
  EXPECT_TRUE(run_action_statement(*state, U"\\\\restore_case"));
  EXPECT_FALSE(h.keyword_case_insensetive || h.separator_case_insensetive ||
               h.tocken_case_insensetive);
  EXPECT_TRUE(run_action_statement(*state, U"\\\\tocken_case_insensetive#t"));
  EXPECT_TRUE(run_action_statement(*state, U"\\\\keyword_case_insensetive#True"));
  EXPECT_TRUE(run_action_statement(*state, U"\\\\separator_case_insensetive#yes"));
  EXPECT_TRUE(h.tocken_case_insensetive);
  EXPECT_TRUE(h.keyword_case_insensetive);
  EXPECT_FALSE(h.separator_case_insensetive);
  EXPECT_TRUE(run_action_statement(*state, U"\\\\ignore_case"));
  EXPECT_FALSE(h.keyword_case_insensetive || h.separator_case_insensetive ||
               h.tocken_case_insensetive);
  EXPECT_TRUE(run_action_statement(*state, U"\\\\restore_case"));
  EXPECT_TRUE(h.tocken_case_insensetive);
  EXPECT_TRUE(h.keyword_case_insensetive);
  EXPECT_FALSE(h.separator_case_insensetive);
  EXPECT_TRUE(run_action_statement(*state, U"\\\\tocken_case_insensetive"));
  EXPECT_FALSE(h.tocken_case_insensetive);
  // One backslash is not the command.
  EXPECT_FALSE(run_action_statement(*state, U"\\tocken_case_insensetive#t"));
}

TEST_F(InterpreterTest, CommandFailuresCarryTheReport) {
  struct row {
    text statement;
    int number;
    text message;
    text command;
    text parameter;
  };
  const row rows[] = {
      {U"stope#done", error_number::engine, U"done", U"stope", U"done"},
      {U"stope", error_number::engine, U"", U"stope", U""},
      {U"suspend_at#abc", error_number::type_mismatch, U"Type mismatch", U"suspend_at", U"abc"},
      {U"resumed_at#3e9", error_number::overflow, U"Overflow", U"resumed_at", U"3e9"},
  };
  for (const row& r : rows) {
    auto [number, description] = failure_of(r.statement);
    EXPECT_EQ(number, r.number);
    EXPECT_EQ(description, r.message + U"\r\nerror/act\r\nstatement in progress=`" + r.statement +
                               U"`\r\n action=" + r.command + U"\r\n parameter=`" + r.parameter +
                               U"`");
  }
}

TEST_F(InterpreterTest, AnotherExternalProcPar) {
  state->schema.header.external_proc_par = U'!';
  EXPECT_TRUE(run_action_statement(*state, U"reengine!a#b"));
  EXPECT_EQ(state->run.reengine_line, U"a#b,");
  EXPECT_TRUE(run_action_statement(*state, U"!=x,1"));
  EXPECT_EQ(value(U"x"), U"1");
  EXPECT_FALSE(run_action_statement(*state, U"#=x,2"));
  // replace_in_tocken always splits at "#".
  state->run.tocken = U"a-b";
  EXPECT_TRUE(run_action_statement(*state, U"replace_in_tocken!-#+#"));
  EXPECT_EQ(state->run.tocken, U"a+b");
}

}  // namespace
}  // namespace zr
