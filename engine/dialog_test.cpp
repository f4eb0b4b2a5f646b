#include "engine/dialog.h"

#include <gtest/gtest.h>

#include "engine/test_support.h"

namespace zr {
namespace {

// One event row, written as a schema would: names of header and next states.
struct row_text {
  text name;
  std::vector<text> header = {U"-r"};
  std::int16_t level = 1;
  std::vector<text> next = {U"-"};
  std::vector<text> post = {};
  text feed_back = U"";
  text action = U"";
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_schema_table(state->schema);
    init_builtin_states(state->schema);
    state->schema.header.print_while_processing = false;
    state->dialog.nest_stack[1] = builtin_state::root;
    state->dialog.nest = 1;
  }
  std::int16_t state_of(const text& name) {
    std::int16_t index = state_index(state->schema, name);
    return index ? index : add_state(state->schema, name);
  }
  event_row& add(const row_text& written) {
    event_row& row = new_event_row(state->schema);
    row.event_name = written.name;
    row.level = written.level;
    row.action = written.action;
    row.act_text = true;
    row.feed_back = written.feed_back;
    row.nest_depth = static_cast<std::int16_t>(written.header.size());
    for (std::size_t k = 0; k < written.header.size(); ++k)
      row.nest_state_index[k + 1] = state_of(written.header[k]);
    row.post_states_quantity = static_cast<std::int16_t>(written.next.size());
    for (std::size_t k = 0; k < written.next.size(); ++k)
      row.post_state[k + 1] = state_of(written.next[k]);
    row.post_events_quantity = static_cast<std::int16_t>(written.post.size());
    for (std::size_t k = 0; k < written.post.size(); ++k)
      row.post_event[k + 1] = written.post[k];
    return row;
  }
  feedback step(text event, text tocken = U"t", text ttype = U"i") {
    state->run.coming_event = event;
    state->run.tocken = tocken;
    state->run.ttype = token_type_of(ttype);
    compile_event_kinds(state->schema);
    state->schema.lookup = build_lookup(state->schema);
    return dialog_step(*state);
  }
  std::vector<text> nest() {
    std::vector<text> names;
    for (int k = 1; k <= state->dialog.nest; ++k)
      names.push_back(state->schema.state_name[state->dialog.nest_stack[k]]);
    return names;
  }
  std::vector<text> queue() {
    std::vector<text> events;
    for (int k = state->dialog.queue_length; k >= 1; --k)
      events.push_back(
          state->dialog.queue_event[k] + U"|" +
          text(token_type_text(state->dialog.queue_ttype[k], state->dialog.queue_ttype_stored[k])));
    return events;
  }
  text failure(const text& event) {
    try {
      step(event);
    } catch (const engine_error& e) {
      return e.description();
    }
    return U"(no error)";
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(DialogTest, LevelsMoveTheNest) {
  add({.name = U"open", .level = 1, .next = {U"block"}});
  add({.name = U"same", .header = {U"block"}, .level = 0, .next = {U"other"}});
  add({.name = U"up", .header = {U"other"}, .level = 0, .next = {U"-"}});
  add({.name = U"back", .header = {U"other"}, .level = -1, .next = {U"tail"}});
  add({.name = U"two", .header = {U"-r"}, .level = 1, .next = {U"a", U"b"}});
  step(U"open");
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"block"}));
  step(U"same");
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"other"}));
  step(U"up");  // a sole no-state marker with level 0 keeps the nest
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"other"}));
  step(U"back");  // level -1 replaces the parent and drops the current state
  EXPECT_EQ(nest(), (std::vector<text>{U"tail"}));
}

TEST_F(DialogTest, TheFirstRegisteredEventWins) {
  add({.name = U"x", .next = {U"first"}});
  add({.name = U"x", .next = {U"second"}});
  step(U"x");
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"first"}));
}

TEST_F(DialogTest, AnyStateAndAnyEvent) {
  add({.name = U"x", .header = {U"outer", U"-a"}, .level = 0});
  add({.name = U".", .header = {U"-r"}, .level = 1, .next = {U"inner"}});
  step(U"whatever");  // the any event accepts everything in ("-r")
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"inner"}));
  step(U"x");  // "-a" deepest: accepted in every nest at least as deep
  EXPECT_EQ(nest(), (std::vector<text>{U"-r", U"inner"}));
  // Any event declared under "-r" only: nothing accepts y in ("-r" "inner").
  EXPECT_TRUE(failure(U"y").starts_with(U"TEXT IS NOT UNDERSTOOD"));
}

TEST_F(DialogTest, PostEventsRunInWrittenOrderAndTheRepeatCarriesTheToken) {
  add({.name = U"go", .level = 0, .post = {U"A", U".d", U".=x"}});
  step(U"go", U"tok", U"");
  EXPECT_EQ(queue(), (std::vector<text>{U"A|", U"go|?", U".id|"}));
  EXPECT_EQ(state->dialog.queue_tocken[2], U"tok");
}

TEST_F(DialogTest, TheQueueHoldsFiftyEvents) {
  add({.name = U"go", .level = 0, .post = {U"a", U"b", U"c", U"d", U"e"}});
  for (int i = 0; i < 10; ++i)
    step(U"go");
  EXPECT_EQ(state->dialog.queue_length, 50);
  EXPECT_EQ(failure(U"go"), U"not enough space in events queue ... \r\nqueue building started");
}

TEST_F(DialogTest, EndConditions) {
  add({.name = U"stop", .next = {U"-e"}});
  add({.name = U"fb", .level = 0, .feed_back = U"upto'"});
  EXPECT_EQ(step(U"fb").command, feedback_command::up_to);
  EXPECT_EQ(step(U"stop").command, feedback_command::end);
  state->dialog.nest = 1;
  // The end event from the queue ends the dialog even when nothing accepts it.
  state->tokenizer.from_source = token_kind::queued;
  EXPECT_EQ(step(U".end").command, feedback_command::end);
  // Read from the source, it is matched like any other event.
  state->tokenizer.from_source = token_kind::word;
  EXPECT_TRUE(failure(U".end").starts_with(U"TEXT IS NOT UNDERSTOOD"));
  // The init event accepted by nothing does nothing.
  EXPECT_EQ(step(U".init").command, feedback_command::none);
}

TEST_F(DialogTest, NestBounds) {
  add({.name = U"down", .level = -1});
  add({.name = U"deep", .header = {U"-a"}, .level = 1, .next = {U"s"}});
  add({.name = U"jump", .header = {U"-a"}, .level = 2, .next = {U"-"}});
  EXPECT_EQ(failure(U"down"), U"level jupms to low ...\r\nqueue building started");
  state->dialog.nest = 1;
  for (int i = 1; i < 100; ++i)
    step(U"deep");
  EXPECT_EQ(state->dialog.nest, 100);
  EXPECT_EQ(failure(U"deep"),
            U"not enough space in array for nested states ...\r\nqueue building started");
  EXPECT_EQ(failure(U"jump"), U"level jumps to high ... \r\nqueue building started");
}

TEST_F(DialogTest, TheNotUnderstoodReport) {
  add({.name = U"known"});
  state->run.source_text = U"rest of the source";
  state->run.scan_position = 9;
  state->dialog.step_counter = 6;
  EXPECT_EQ(failure(U"odd"),
            U"TEXT IS NOT UNDERSTOOD: \r\n"
            U"event 2`odd`(111 ...) \r\n"
            U"is not allowed in the nest: -r \r\n"
            U"    tocken=t\r\n\r\n"
            U"COMING SOURCE TEXT IS:\r\n\r\n"
            U"the source\r\n ... \r\n\r\n"
            U"text position = 9\r\n"
            U"dialog 7 is terminated ... \r\n\r\n"
            U"\r\nrecognizing event");
}

TEST_F(DialogTest, StepTraces) {
  add({.name = U"go", .level = 1, .next = {U"in"}});
  state->flags.debug_on = true;
  step(U"go", U"Go");
  EXPECT_EQ(out->joined(),
            "\t\t\t.   DIALOG 1    nest=  -r  \r\n"
            "\t\t\t.       event=`go`(103)... \r\n"
            "\t\t\t.       tocken=`Go`(71)... \r\n"
            "\t\t\t.   1event `go`\r\n"
            "\t\t\t.   action(1)=  act_text(event_ind)= True\r\n"
            "\t\t\t.     new nest= -r  in  \r\n");
}

TEST_F(DialogTest, StepModeTakesOneGrantPerStep) {
  add({.name = U"x", .level = 0});
  state->flags.steps_on = true;
  state->flags.step_granted = true;
  int pumps = 0;
  state->event_pump = [&] {
    if (++pumps == 3) state->flags.step_granted = true;
  };
  step(U"x");  // the granted step
  EXPECT_EQ(pumps, 1);
  step(U"x");  // waits for the next grant
  EXPECT_GE(pumps, 3);
  state->event_pump = [&] { state->flags.terminate_requested = true; };
  EXPECT_EQ(failure(U"x"), U"user ordered to terminate\r\ndialog step start");
}

TEST_F(DialogTest, SuspendAndResumeAtSteps) {
  add({.name = U"x", .level = 0});
  state->dialog.suspend_at_step = 2;
  state->dialog.resume_at_step = 2;  // resume wins in the same step
  step(U"x");
  step(U"x");
  EXPECT_FALSE(state->flags.suspended);
}

}  // namespace
}  // namespace zr
