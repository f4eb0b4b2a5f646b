#include "engine/zrcomp.h"

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
}  // namespace zr
