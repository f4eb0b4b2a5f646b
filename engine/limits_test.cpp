#include "engine/limits.h"

#include <gtest/gtest.h>

#include "engine/test_support.h"
#include "engine/translate.h"

namespace zr {
namespace {

// An event that queues itself again: without a limit the run never ends.
constexpr char32_t runaway_schema[] =
    U"\\\\schema t\r\n-r\r\n  _x `1` 0 +.d\r\n\\\\end schema\r\n\\\\end file\r\n";

struct limit_case {
  const char* name;
  run_limits limits;
  const char* report;  // the line the failure report must hold
};

TEST(Limits, RunawayRunsStopWithTheLimitTheyReached) {
  const limit_case cases[] = {
      {"steps", {0, 1000, 0}, "run stopped: step limit of 1000 dialog steps reached"},
      {"time", {0.05, 0, 0}, "run stopped: time limit of 0.05 seconds reached"},
      {"memory", {0, 0, 1}, "run stopped: memory limit of 1 MB reached"},
  };
  for (const limit_case& c : cases) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<recording_output> output;
    auto state = make_test_state(output);
    state->limits.limits = c.limits;
    EXPECT_FALSE(translate(*state, runaway_schema, U"x"));
    EXPECT_NE(output->joined().find(std::string("2048 * ") + c.report), std::string::npos)
        << output->joined();
    ASSERT_TRUE(state->run.failure);
    EXPECT_FALSE(state->run.failure->in_schema);
  }
}

TEST(Limits, StepsAreCountedOnlyWhileTheSourceIsRead) {
  // A schema read takes polls too; they must not count against the steps.
  std::shared_ptr<recording_output> output;
  auto state = make_test_state(output);
  state->dialog.step_counter = 5000;  // left over from an earlier run
  state->limits.limits = {0, 10, 0};
  EXPECT_TRUE(translate(
      *state,
      U"\\\\schema t\r\n-r\r\n  .id .t 0\r\n  .eot `` 1 -e\r\n\\\\end schema\r\n\\\\end file\r\n",
      U"a b"));
}

TEST(Limits, NewStatesStartWithTheDefaultMemoryBoundOnly) {
  engine_state state;
  EXPECT_EQ(state.limits.limits.timeout_seconds, 0);
  EXPECT_EQ(state.limits.limits.max_steps, 0);
  EXPECT_GT(state.limits.limits.max_memory_mb, 0);
  EXPECT_EQ(state.limits.limits.max_memory_mb, default_memory_limit_mb());
}

}  // namespace
}  // namespace zr
