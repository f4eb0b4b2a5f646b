#include "engine/custom_actions.h"

#include <gtest/gtest.h>

#include "engine/test_support.h"

namespace zr {
namespace {

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
  for (text statement : {U"mysub#x", U"Hello", U"hello world"}) {
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

}  // namespace
}  // namespace zr
