#include "engine/run.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/errors.h"
#include "engine/flags.h"
#include "engine/host_poll.h"
#include "engine/messages.h"
#include "engine/test_support.h"

namespace zr {
namespace {

class RunTest : public ::testing::Test {
 protected:
  // Installs a pump that runs `on_pass` with the pass number (1, 2, ...).
  void pump(std::function<void(int)> on_pass) {
    state->event_pump = [this, on_pass] { on_pass(++passes); };
  }
  text failure_of(const std::function<void()>& action) {
    try {
      action();
    } catch (const engine_error& e) {
      return e.description();
    }
    return U"(no error)";
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
  int passes = 0;
};

TEST_F(RunTest, PollHostYieldsOnceAndActsOnTermination) {
  pump([](int) {});
  poll_host(*state);
  EXPECT_EQ(passes, 1);
  state->flags.terminate_requested = true;
  EXPECT_EQ(failure_of([&] { poll_host(*state); }), U"user ordered to terminate");
  // The request is cleared, so the next poll (the next run) goes on.
  EXPECT_FALSE(state->flags.terminate_requested);
  poll_host(*state);
}

TEST_F(RunTest, TerminationWhileSuspendedEndsTheWaitAtOnce) {
  state->flags.suspended = true;
  pump([this](int pass) {
    if (pass == 5) state->flags.terminate_requested = true;
  });
  EXPECT_EQ(failure_of([&] { poll_host(*state); }), U"user ordered to terminate");
  EXPECT_EQ(passes, 5);
  EXPECT_FALSE(state->flags.terminate_requested);
}

TEST_F(RunTest, SuspensionHoldsUntilTheHostResumes) {
  state->flags.suspended = true;
  pump([this](int pass) {
    if (pass == 4) suspend_dialog_and_schema(*state);  // toggles it off
  });
  poll_host(*state);
  EXPECT_EQ(passes, 4);
  EXPECT_FALSE(state->flags.suspended);
}

TEST_F(RunTest, EachGrantLetsExactlyOneStepThrough) {
  set_steps(*state, true);  // step mode with one grant
  pump([](int) {});
  wait_for_step(*state);  // uses the grant
  EXPECT_FALSE(state->flags.step_granted);
  int granted_at = 0;
  pump([&](int pass) {
    if (pass == 3) {
      set_steps(*state, true);  // what zrcomp::steps does
      granted_at = pass;
    }
  });
  wait_for_step(*state);
  EXPECT_EQ(granted_at, 3);
  EXPECT_FALSE(state->flags.step_granted);
  EXPECT_TRUE(state->flags.steps_on);
}

TEST_F(RunTest, LeavingStepModeDuringTheWaitLetsTheRunGoOn) {
  set_steps(*state, true);
  state->flags.step_granted = false;
  pump([this](int pass) {
    if (pass == 2) suspend_dialog_and_schema(*state);
  });
  wait_for_step(*state);
  EXPECT_FALSE(state->flags.steps_on);
  EXPECT_FALSE(state->flags.suspended);
  int before = passes;
  wait_for_step(*state);  // no more grants needed
  EXPECT_EQ(passes, before + 1);
}

TEST_F(RunTest, TerminationWhileWaitingForAStepEndsTheRun) {
  set_steps(*state, true);
  state->flags.step_granted = false;
  pump([this](int pass) {
    if (pass == 2) state->flags.terminate_requested = true;
  });
  EXPECT_EQ(failure_of([&] { wait_for_step(*state); }), U"user ordered to terminate");
}

TEST_F(RunTest, AnotherThreadCanGrantAStepWithoutAPump) {
  set_steps(*state, true);
  state->flags.step_granted = false;
  std::thread host([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    set_steps(*state, true);
  });
  wait_for_step(*state);
  host.join();
  EXPECT_FALSE(state->flags.step_granted);
}

TEST_F(RunTest, AnotherThreadCanStopASuspendedRun) {
  state->flags.suspended = true;
  std::thread host([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state->flags.terminate_requested = true;
  });
  EXPECT_EQ(failure_of([&] { poll_host(*state); }), U"user ordered to terminate");
  host.join();
}

TEST_F(RunTest, PrintsWithoutPrefixAreJoined) {
  state->schema.header.print_while_processing = false;
  state->run.line_prefix = U"\r\n   ";
  print_text(*state, U"Hi");
  print_text(*state, U"There");
  EXPECT_EQ(state->run.result_body, "\r\n   HiThere");
  EXPECT_TRUE(state->run.line_prefix.empty());
  EXPECT_TRUE(out->calls.empty());
}

TEST_F(RunTest, PrintWhileProcessingEchoesToTheConsole) {
  state->run.line_prefix = U"\r\n";
  print_text(*state, U"a");
  EXPECT_EQ(out->calls, std::vector<std::string>{"\r\na"});
  out->calls.clear();
  switch_debug_on(*state);
  print_text(*state, U"b");
  std::vector<std::string> expected = {"\r\n", "b", "\r\n"};
  EXPECT_EQ(out->calls, expected);
}

TEST_F(RunTest, ResultHeaderLinesAreSeparatedByLineFeeds) {
  start_result(state->run, 0);
  EXPECT_EQ(assemble_result(*state), "\n\n\n");
  start_result(state->run, 0);
  state->run.result_body += "\r\nHi";
  EXPECT_EQ(assemble_result(*state), "\n\n\n\r\nHi");
  start_result(state->run, 0);
  state->run.redirect_line = U"r";
  state->run.reengine_line = U"e,";
  state->run.save_line = U".,";
  state->run.result_body += "\r\nHi";
  EXPECT_EQ(assemble_result(*state), "r\ne,\n.,\n\r\nHi");
  state->run.redirect_line = U"\u00e9";  // one character, two bytes
  state->run.reengine_line.clear();
  state->run.save_line.clear();
  start_result(state->run, 0);
  state->run.result_body += "x";
  EXPECT_EQ(assemble_result(*state), "\xc3\xa9\n\n\nx");
}

}  // namespace
}  // namespace zr
