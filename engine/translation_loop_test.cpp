#include "engine/translation_loop.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/flags.h"
#include "engine/test_support.h"
#include "engine/translate.h"

namespace zr {
namespace {

// The whole "Hi" run: a keyword event that prints Hi and ends the dialog.
const text hi_schema = U"\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n";

// Prints every word and never ends before the end of the text.
const text echo_schema =
    U"\\\\schema main\n-r\n  .id .t 0\n  .eot `` 1 -e\n\\\\end schema\n\\\\end file\n";

class TranslationLoopTest : public ::testing::Test {
 protected:
  std::optional<text> run(const text& schema, const text& source) {
    return translate(*state, schema, source);
  }
  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(TranslationLoopTest, TheHiRun) {
  EXPECT_EQ(run(hi_schema, U"hello"), U"\n\n\n\r\nHi");
  EXPECT_EQ(out->joined(), "\r\nHi");        // printed while processing
  EXPECT_EQ(state->dialog.step_counter, 2);  // the init step, then hello
}

TEST_F(TranslationLoopTest, ARunThatPrintsNothingReturnsThreeLineFeeds) {
  EXPECT_EQ(run(echo_schema, U""), U"\n\n\n");
}

TEST_F(TranslationLoopTest, SchemaErrorsCarryTheCompileContext) {
  EXPECT_EQ(run(U"no schema here", U"x"), std::nullopt);
  EXPECT_EQ(out->joined(),
            "\r\nin \"translate\" module\r\n2048 * no `\\\\schema` string ...\r\n"
            "in module \"schema\"\r\nlocator: prepare text\r\n"
            "in \"compile\" module\r\nlocator: compile start");
  ASSERT_TRUE(state->run.failure);
  EXPECT_TRUE(state->run.failure->in_schema);
  EXPECT_EQ(state->run.failure->message, "no `\\\\schema` string ...");
}

TEST_F(TranslationLoopTest, SourceFailuresAreLocatedAtTheTokenStart) {
  const text schema = U"\\\\schema main\n-r\n  _a `A` 0\n\\\\end schema\n\\\\end file\n";
  EXPECT_EQ(run(schema, U"a a\n a b"), std::nullopt);
  ASSERT_TRUE(state->run.failure);
  EXPECT_FALSE(state->run.failure->in_schema);
  EXPECT_EQ(state->run.failure->line, 2);
  // At the word b being handled, not where the scan goes on.
  EXPECT_EQ(state->run.failure->column, 4);
  EXPECT_EQ(state->run.failure->message, "TEXT IS NOT UNDERSTOOD: ");
}

TEST_F(TranslationLoopTest, StepModeFromTheHeaderGrantsTheFirstStepOnly) {
  const text schema = U"\\\\steps in dialog=t\n" + echo_schema;
  int pumps = 0;
  // A host that never grants a step, and stops the run after a while.
  state->event_pump = [&] {
    if (++pumps == 50) state->flags.terminate_requested = true;
  };
  EXPECT_EQ(run(schema, U"a b"), std::nullopt);
  EXPECT_EQ(state->dialog.step_counter, 2);     // the init step ran, the next one waited
  EXPECT_EQ(state->run.result_body, "\n\n\n");  // the header's room, nothing printed
}

TEST_F(TranslationLoopTest, EachHostGrantLetsOneMoreStepRun) {
  const text schema = U"\\\\steps in dialog=t\n" + echo_schema;
  int pumps = 0;
  std::int32_t granted_at_step = 0;
  // The host grants one step for each step the dialog has begun.
  state->event_pump = [&] {
    ++pumps;
    if (state->dialog.step_counter > granted_at_step) {
      granted_at_step = state->dialog.step_counter;
      set_steps(*state, true);
    }
  };
  EXPECT_EQ(run(schema, U"a b"), U"\n\n\n\r\nab");
  EXPECT_EQ(state->dialog.step_counter, 4);  // init, a, b, end of text
}

TEST_F(TranslationLoopTest, SuspendingInStepModeLetsTheRunFinish) {
  const text schema = U"\\\\steps in dialog=t\n" + echo_schema;
  state->event_pump = [&] {
    if (state->flags.steps_on && !state->flags.step_granted) suspend_dialog_and_schema(*state);
  };
  EXPECT_EQ(run(schema, U"a b c"), U"\n\n\n\r\nabc");
  EXPECT_FALSE(state->flags.steps_on);
}

TEST_F(TranslationLoopTest, StopWhileSuspendedEndsTheRunAndTheNextRunIsClean) {
  int pumps = 0;
  state->event_pump = [&] {
    ++pumps;
    if (pumps == 3) state->flags.suspended = true;
    if (pumps == 10) state->flags.terminate_requested = true;
  };
  EXPECT_EQ(run(echo_schema, U"a b c d e f"), std::nullopt);
  EXPECT_NE(out->joined().find("2048 * user ordered to terminate"), std::string::npos);
  state->event_pump = nullptr;
  EXPECT_EQ(run(echo_schema, U"a"), U"\n\n\n\r\na");
}

TEST_F(TranslationLoopTest, AnotherThreadCanStopARunWaitingForAStep) {
  const text schema = U"\\\\steps in dialog=t\n" + echo_schema;
  std::thread host([&] {
    while (!state->flags.steps_on || state->flags.step_granted)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    state->flags.terminate_requested = true;
  });
  EXPECT_EQ(run(schema, U"a b"), std::nullopt);
  host.join();
  EXPECT_NE(out->joined().find("user ordered to terminate\r\ndialog step start"),
            std::string::npos);
}

TEST_F(TranslationLoopTest, AFailedRunLeavesNoPendingSeparatorBehind) {
  const text separators =
      U"\\\\schema main\n-r\n  ; `;` 0\n  .id .t 0\n  .eot `` 1 -e\n\\\\end schema\n\\\\end file\n";
  // The word a is followed by a declared separator when the run fails.
  EXPECT_EQ(
      run(U"\\\\schema main\n-r\n  ; `;` 0\n  _b `b` 0\n\\\\end schema\n\\\\end file\n", U"a;"),
      std::nullopt);
  EXPECT_EQ(run(separators, U"z"), U"\n\n\n\r\nz");
}

TEST(MakeLinePrefix, OneIndentBodyPerIndentState) {
  std::shared_ptr<recording_output> out;
  auto state = make_test_state(out);
  state->schema.header.indent_body = U"__";
  state->dialog.nest_stack = {0, builtin_state::root, builtin_state::indent, 7,
                              builtin_state::indent};
  state->dialog.nest = 4;
  make_line_prefix(*state);
  EXPECT_EQ(state->run.line_prefix, U"\r\n____");
}

}  // namespace
}  // namespace zr
