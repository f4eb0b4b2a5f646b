#include "engine/streams.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "engine/flags.h"
#include "engine/test_support.h"

namespace zr {
namespace {

class StreamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_schema_table(state->schema);
    init_builtin_variables(*state);
    reset_streams(*state);
  }
  text content(char32_t letter) { return macro_variable(*state, letter).wide(); }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(StreamsTest, SameNumberOpensThenSuspends) {
  macro_variable(*state, U'a').assign(U"stale");
  control_thread(*state, 1);
  EXPECT_EQ(content(U'a'), U"");  // opening empties it
  append_to_streams(*state, U"collected");
  control_thread(*state, 1);
  EXPECT_FALSE(state->streams.stream_open[1]);
  EXPECT_EQ(state->streams.open_streams, 0);
  append_to_streams(*state, U"after");  // nothing is open: goes nowhere
  EXPECT_EQ(content(U'a'), U"collected");
  EXPECT_EQ(vvv_value(*state, U"a.."), U"collected");
  EXPECT_EQ(state->run.result_body, "");
}

TEST_F(StreamsTest, OnePrintReachesEveryOpenStream) {
  control_thread(*state, 1);
  control_thread(*state, 3);
  append_to_streams(*state, U"x");
  append_to_streams(*state, U"y");
  EXPECT_EQ(content(U'a'), U"xy");
  EXPECT_EQ(content(U'b'), U"");
  EXPECT_EQ(content(U'c'), U"xy");
  EXPECT_EQ(state->streams.open_streams, 2);
}

TEST_F(StreamsTest, ReopeningASuspendedStreamEmptiesIt) {
  control_thread(*state, 2);
  append_to_streams(*state, U"first");
  control_thread(*state, 2);
  control_thread(*state, 2);
  EXPECT_EQ(content(U'b'), U"");
  append_to_streams(*state, U"second");
  EXPECT_EQ(content(U'b'), U"second");
}

TEST_F(StreamsTest, CloseAllKeepsContentsAndCountsAgainFromOne) {
  close_all_streams(*state);  // nothing open: nothing happens
  EXPECT_EQ(state->streams.open_streams, 0);
  control_thread(*state, 1);
  control_thread(*state, 30);
  append_to_streams(*state, U"t");
  close_all_streams(*state);
  EXPECT_EQ(state->streams.open_streams, 0);
  EXPECT_FALSE(state->streams.stream_open[1]);
  EXPECT_FALSE(state->streams.stream_open[30]);
  EXPECT_EQ(content(U'a'), U"t");
  EXPECT_EQ(content(U'~'), U"t");
  control_thread(*state, 30);
  EXPECT_EQ(state->streams.open_streams, 1);
  EXPECT_EQ(content(U'~'), U"");
}

TEST_F(StreamsTest, TracesOfTheLifecycle) {
  switch_debug_on(*state);
  control_thread(*state, 2);
  append_to_streams(*state, U"ab");
  control_thread(*state, 4);
  control_thread(*state, 2);
  close_all_streams(*state);
  EXPECT_EQ(out->joined(),
            "\t\t\t. stream #2=b is just opened ...\r\n"
            "\t\t\t. 1 extra stream(s) are active \r\n"
            "\t\t\t. stream 2 = b has value = ab\r\n"
            "\t\t\t. stream #4=d is just opened ...\r\n"
            "\t\t\t. 2 extra stream(s) are active \r\n"
            "\t\t\t. stream #2=b is suspended with value =ab\r\n"
            "\t\t\t. 1 extra streams are still active\r\n"
            "\t\t\t. stream 4 = d is closed \r\nwith value=\r\n");
}

TEST_F(StreamsTest, NumbersOutsideTheStreamsFailWithContext) {
  for (std::int16_t n : {31, -1}) {
    try {
      control_thread(*state, n);
      ADD_FAILURE() << "no error for " << n;
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), error_number::index_range);
      EXPECT_EQ(e.description(), U"Subscript out of range\r\nwhen close/open thread " +
                                     number_text(n) + U" in module `control_thread` ...");
    }
  }
  EXPECT_EQ(state->streams.open_streams, 0);
}

}  // namespace
}  // namespace zr
