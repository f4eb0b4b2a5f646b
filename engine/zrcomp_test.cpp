#include "engine/zrcomp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/test_support.h"

namespace zr {
namespace {

TEST(Zrcomp, ObjectsOfOneThreadShareTheFlags) {
  zrcomp first;
  zrcomp second;
  ASSERT_FALSE(first.is_debug_on());
  EXPECT_TRUE(first.reset_debug());
  EXPECT_TRUE(second.is_debug_on());
  EXPECT_FALSE(second.reset_debug());
  EXPECT_FALSE(first.is_debug_on());
}

TEST(Zrcomp, SuspendInStepModeLeavesItThenSuspends) {
  zrcomp engine;
  engine.steps();
  EXPECT_TRUE(engine.are_steps_on());
  engine.suspend_dialog_and_schema();
  EXPECT_FALSE(engine.are_steps_on());
  std::shared_ptr<engine_state> state = thread_engine_state();
  EXPECT_TRUE(state->flags.step_granted);
  EXPECT_FALSE(state->flags.suspended);
  engine.suspend_dialog_and_schema();
  EXPECT_TRUE(state->flags.suspended);
  engine.suspend_dialog_and_schema();
  EXPECT_FALSE(state->flags.suspended);
}

TEST(Zrcomp, ThreadsHaveTheirOwnEngineState) {
  zrcomp here;
  here.steps();
  bool other_steps = true;
  std::thread([&] { other_steps = zrcomp().are_steps_on(); }).join();
  EXPECT_FALSE(other_steps);
  here.suspend_dialog_and_schema();
}

TEST(Zrcomp, FlagMethodsCalledFromAnotherThreadActOnTheCreatingThread) {
  zrcomp engine;
  std::thread([&] { engine.user_terminated(); }).join();
  EXPECT_TRUE(thread_engine_state()->flags.terminate_requested);
  thread_engine_state()->flags.terminate_requested = false;
}

TEST(Zrcomp, AFailedTranslationIsReportedThroughWritesAndGivesNoValue) {
  zrcomp engine;
  auto out = std::make_shared<recording_output>();
  engine.give_write_method(out);
  EXPECT_EQ(engine.translate("no schema", "x"), std::nullopt);
  EXPECT_EQ(out->joined().rfind("\r\nin \"translate\" module\r\n2048 * ", 0), 0u);
}

TEST(Zrcomp, EventPumpIsPerThread) {
  int calls = 0;
  set_event_pump([&] { ++calls; });
  EXPECT_TRUE(static_cast<bool>(thread_engine_state()->event_pump));
  bool other_has_pump = true;
  std::thread([&] {
    other_has_pump = static_cast<bool>(thread_engine_state()->event_pump);
  }).join();
  EXPECT_FALSE(other_has_pump);
  set_event_pump(nullptr);
  EXPECT_FALSE(static_cast<bool>(thread_engine_state()->event_pump));
}

// A paced pump is called at the first yield and at every n-th after it. The
// schema queues its event again and again, until the step limit stops it.
TEST(Zrcomp, APacedEventPumpIsCalledAtEveryNthYield) {
  const auto calls_with = [&](unsigned passes) {
    int calls = 0;
    set_event_pump([&] { ++calls; }, passes);
    zrcomp engine;
    engine.give_write_method(std::make_shared<recording_output>());
    engine.set_run_limits({0, 100, 0});
    EXPECT_EQ(
        engine.translate("\\\\schema t\n-r\n  _x `1` 0 +.d\n\\\\end schema\n\\\\end file\n", "x"),
        std::nullopt);
    set_event_pump(nullptr);
    return calls;
  };
  const int yields = calls_with(1);
  ASSERT_GT(yields, 200);
  EXPECT_EQ(calls_with(0), yields);
  for (int passes : {2, 3, 16})
    EXPECT_EQ(calls_with(passes), (yields + passes - 1) / passes) << passes;
}

constexpr char hello[] = "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n";
constexpr char hello_result[] = "\n\n\n\r\nHi";

// translate_in_place gives what translate gives, for a source read in place
// (ASCII) or decoded (not ASCII), a failed run and a source with no room
// left, and hands the source back as it was.
TEST(Zrcomp, TranslateInPlaceGivesTranslatesResultAndTheSourceBack) {
  const std::string words = "\\\\schema main\n-r\n  .id .t 0\n  .eot `` 1 -e\n\\\\end schema\n";
  const struct {
    std::string schema;
    std::string source;
  } cases[] = {
      {hello, "hello"},   {words, "a b c"}, {words, "caf\xc3\xa9 x"},
      {hello, "goodbye"},  // not understood: the run fails
      {words, ""},
  };
  zrcomp engine;
  engine.give_write_method(std::make_shared<recording_output>());
  for (const auto& c : cases) {
    const std::optional<std::string> copied = engine.translate(c.schema, c.source);
    const std::optional<failure_location> copied_failure = engine.last_failure();
    std::string source = c.source;
    source.shrink_to_fit();  // no room for the line end: the append must grow it
    EXPECT_EQ(engine.translate_in_place(c.schema, source), copied) << c.source;
    EXPECT_EQ(source, c.source);
    const std::optional<failure_location> failure = engine.last_failure();
    ASSERT_EQ(failure.has_value(), copied_failure.has_value()) << c.source;
    if (failure) {
      EXPECT_EQ(failure->line, copied_failure->line);
      EXPECT_EQ(failure->column, copied_failure->column);
      EXPECT_EQ(engine.current_location().line, 1);  // the source is no longer read
    }
  }
}

// A handle made on one thread and used on others translates on each caller's
// own state: right results, nothing shared between the runs.
TEST(Zrcomp, AHandleTranslatesOnTheCallingThreadsState) {
  zrcomp engine;
  std::vector<int> right(4, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < right.size(); ++t)
    threads.emplace_back([&, t] {
      engine.give_write_method(std::make_shared<recording_output>());
      for (int run = 0; run < 50; ++run)
        right[t] += engine.translate(hello, "hello") == hello_result;
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(right, std::vector<int>(4, 50));
}

// A translate from inside the running one's writes is refused; the running one
// goes on to its own result.
TEST(Zrcomp, ATranslationInsideWritesIsRefused) {
  struct nesting_output : output_object {
    zrcomp* engine = nullptr;
    std::optional<int> refused;
    void writes(const std::string&) override {
      if (refused) return;
      try {
        engine->translate(hello, "hello");
        refused = 0;
      } catch (const zrcomp_error& e) {
        refused = e.number();
        EXPECT_EQ(e.description(), "a translation is already running on this thread");
      }
    }
  };
  zrcomp engine;
  auto out = std::make_shared<nesting_output>();
  out->engine = &engine;
  engine.give_write_method(out);
  EXPECT_EQ(engine.translate(hello, "hello"), hello_result);
  EXPECT_EQ(out->refused, error_number::translation_running);
}

TEST(Zrcomp, AStopRequestedBetweenRunsDoesNotReachTheNext) {
  zrcomp engine;
  engine.give_write_method(std::make_shared<recording_output>());
  engine.user_terminated();
  EXPECT_EQ(engine.translate(hello, "hello"), hello_result);
  EXPECT_FALSE(engine.last_error());
}

TEST(Zrcomp, LimitsAreCheckedAndLargeMemoryBoundsSaturate) {
  zrcomp engine;
  const run_limits saved = engine.limits();
  for (const run_limits& bad : {run_limits{-1, 0, 0}, run_limits{0, -1, 0}, run_limits{0, 0, -1},
                                run_limits{std::nan(""), 0, 0}})
    EXPECT_THROW(engine.set_run_limits(bad), zrcomp_error);
  engine.set_run_limits({0, 0, 1LL << 50});
  engine.give_write_method(std::make_shared<recording_output>());
  EXPECT_EQ(engine.translate(hello, "hello"), hello_result);
  engine.set_run_limits(saved);
}

}  // namespace
}  // namespace zr
