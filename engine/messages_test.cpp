#include "engine/messages.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "engine/flags.h"
#include "engine/test_support.h"

namespace zr {
namespace {

class MessagesTest : public ::testing::Test {
 protected:
  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(MessagesTest, TraceLineIsTwoPlusNestSeparateWrites) {
  state->dialog.nest = 3;
  trace_line(*state, U"DIALOG 1");
  std::vector<std::string> expected = {"\t\t\t. ", "  ", "  ", "  ", "DIALOG 1\r\n"};
  EXPECT_EQ(out->calls, expected);
}

TEST_F(MessagesTest, TraceWritesOnlyWhileDebugIsOn) {
  state->dialog.nest = 1;
  trace(*state, U"quiet");
  debug_line(*state, U"quiet");
  EXPECT_TRUE(out->calls.empty());
  switch_debug_on(*state);
  trace(*state, U"loud");
  debug_line(*state, U"line");
  std::vector<std::string> expected = {"\t\t\t. ", "  ", "loud\r\n", "line\r\n"};
  EXPECT_EQ(out->calls, expected);
}

TEST_F(MessagesTest, NestZeroOrBelowIndentsNothing) {
  for (std::int16_t nest : {0, -2}) {
    out->calls.clear();
    state->dialog.nest = nest;
    print_indented(*state, U"x");
    EXPECT_EQ(out->calls, std::vector<std::string>{"x\r\n"});
  }
}

TEST_F(MessagesTest, EmptyMessageMakesNoWriteCall) {
  send_message(*state, U"");
  EXPECT_TRUE(out->calls.empty());
  send_line(*state, U"");
  EXPECT_EQ(out->calls, std::vector<std::string>{"\r\n"});
}

TEST_F(MessagesTest, MessagesCrossAsUtf8) {
  send_message(*state, U"\u00e9\u20ac");
  EXPECT_EQ(out->joined(), "\xC3\xA9\xE2\x82\xAC");
}

TEST_F(MessagesTest, NoOutputObjectRaisesTheMissingObjectError) {
  state->output.reset();
  try {
    send_message(*state, U"x");
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::missing_object);
  }
  send_message(*state, U"");  // an empty message needs no object
}

TEST_F(MessagesTest, HostErrorsKeepTheirNumberAndDescription) {
  class failing_output : public output_object {
    void writes(const std::string&) override { throw zrcomp_error(1234, "console gone"); }
  };
  state->output = std::make_shared<failing_output>();
  try {
    send_message(*state, U"x");
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), 1234);
    EXPECT_EQ(e.description(), U"console gone");
  }
}

}  // namespace
}  // namespace zr
