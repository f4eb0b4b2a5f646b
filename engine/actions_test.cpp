#include "engine/actions.h"

#include <gtest/gtest.h>

#include "engine/streams.h"
#include "engine/test_support.h"
#include "engine/variables.h"

namespace zr {
namespace {

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_schema_table(state->schema);
    state->schema.header.print_while_processing = false;
    init_builtin_variables(*state);
    reset_streams(*state);
  }
  // Runs `action` as the action of a new event row; returns the result body.
  text run(text action, bool act_text = false) {
    event_row& row = new_event_row(state->schema);
    row.action = action;
    row.act_text = act_text;
    compile_event_kinds(state->schema);
    run_event_action(*state, state->schema.events_quantity);
    return from_utf8(state->run.result_body);
  }
  text failure(text action) {
    try {
      run(action);
    } catch (const engine_error& e) {
      return e.description();
    }
    return U"(no error)";
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(ActionsTest, KindsOfAction) {
  state->run.tocken = U"tok";
  state->run.coming_event = U"begin";
  struct Case {
    text action;
    bool act_text;
    text printed;
  };
  const Case cases[] = {
      {U"plain", false, U"plain"},
      {U".t", true, U".t"},  // stored as plain text: printed as written
      {U".t", false, U"tok"},
      {U".p", false, U"tok"},
      {U".=", false, U"begin"},  // a keyword event prints its own name
      {U".\"no macros", false, U"no macros"},
      {U".x", false, U""},  // an action of this form does nothing
      {U"..debugoff", false, U""},
  };
  for (const Case& c : cases) {
    state->run.result_body.clear();
    EXPECT_EQ(run(c.action, c.act_text), c.printed) << to_utf8(c.action);
  }
  state->run.coming_event = U".id";
  state->run.result_body.clear();
  EXPECT_EQ(run(U".="), U"tok");  // the identifier event prints its token
}

TEST_F(ActionsTest, ConsoleMessagesLeaveTheResultAlone) {
  EXPECT_EQ(run(U".`to the console"), U"");
  EXPECT_EQ(out->joined(), ".`to the console");
}

TEST_F(ActionsTest, MacroTextsInsertStreamsAndStackElements) {
  macro_variable(*state, U'a').assign(U"42");
  table_value(*state, stack_base + 100 + 3) = U"third";
  EXPECT_EQ(run(U".\"total: ..a, ..b, ...3!"), U"total: 42, , third!");
  EXPECT_EQ(failure(U".\"...x"), U"sorry, now only one digit is implemented ... ");
}

TEST_F(ActionsTest, MacroLettersOutsideTheStreamsAreRefused) {
  for (text action : {U".\"..A", U".\"x.."}) {
    try {
      run(action);
      FAIL() << "no error for " << to_utf8(action);
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), error_number::index_range);
    }
  }
}

TEST_F(ActionsTest, OpenStreamsTakeThePrintsExceptThePrintMarker) {
  state->run.tocken = U"tok";
  control_thread(*state, 1);
  control_thread(*state, 3);
  EXPECT_EQ(run(U"text"), U"");
  EXPECT_EQ(run(U".p"), U"tok");  // the print marker prints and also feeds the streams
  EXPECT_EQ(macro_variable(*state, U'a').wide(), U"texttok");
  EXPECT_EQ(macro_variable(*state, U'c').wide(), U"texttok");
}

TEST_F(ActionsTest, MacroTextsIntoOpenStreamsReadEveryStreamAsItStoodBefore) {
  macro_variable(*state, U'b').assign(U"B");
  control_thread(*state, 1);
  control_thread(*state, 3);
  run(U"x");
  run(U".\"<..b>");          // a closed stream's text
  run(U".\"[..a|..a|..c]");  // open streams' own texts
  EXPECT_EQ(macro_variable(*state, U'a').wide(), U"x<B>[x<B>|x<B>|x<B>]");
  EXPECT_EQ(macro_variable(*state, U'c').wide(), U"x<B>[x<B>|x<B>|x<B>]");
}

TEST_F(ActionsTest, UnknownStatementsReachTheCustomActions) {
  EXPECT_EQ(failure(U"..mysub#x"),
            U"custom action `mysub#x` found in schema does not exist ...\r\n"
            U"error when calling user defined sub in `actc` ... ");
  run(U"..hello#there");
  EXPECT_EQ(out->joined(), "hello there\r\n");
}

}  // namespace
}  // namespace zr
