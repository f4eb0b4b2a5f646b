#include "engine/event_kinds.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "engine/schema_table.h"

namespace zr {
namespace {

// One row compiled under the default escapes (action "." text "`" event ".").
event_row compiled(text action, bool act_text = false, text feed_back = U"",
                   std::vector<text> post = {}) {
  schema_table schema;
  reset_schema_table(schema);
  event_row& row = new_event_row(schema);
  row.action = action;
  row.act_text = act_text;
  row.feed_back = feed_back;
  row.post_events_quantity = static_cast<std::int16_t>(post.size());
  for (std::size_t k = 0; k < post.size(); ++k)
    row.post_event[k + 1] = post[k];
  compile_event_kinds(schema);
  return row;
}

TEST(EventKinds, ActionKindsInTheOrderTheyAreTold) {
  struct {
    text action;
    bool act_text;
    action_kind expected;
  } const rows[] = {
      {U"", false, action_kind::print_action},      {U"plain", false, action_kind::print_action},
      {U"..x", true, action_kind::print_action},  // a text action is printed whatever it holds
      {U".", false, action_kind::nothing},          {U".`hi`", false, action_kind::console_message},
      {U".\"a..b", false, action_kind::macro_text}, {U".t", false, action_kind::print_token},
      {U".p", false, action_kind::print_token},     {U".=", false, action_kind::print_same_token},
      {U"..x=1", false, action_kind::statement},    {U".tt", false, action_kind::nothing},
  };
  for (const auto& r : rows)
    EXPECT_EQ(compiled(r.action, r.act_text).action_is, r.expected) << to_utf8(r.action);
  EXPECT_TRUE(compiled(U".p").prints_past_streams);
  EXPECT_TRUE(compiled(U".p", true).prints_past_streams);
  EXPECT_FALSE(compiled(U".t").prints_past_streams);
  // An operator statement is split once; a command, or a text, is not.
  ASSERT_TRUE(compiled(U"..=x,1").operator_form);
  EXPECT_EQ(compiled(U"..=x,1").operator_form->operand2, U"1");
  EXPECT_FALSE(compiled(U"..x=1").operator_form);
  EXPECT_FALSE(compiled(U"..=x,1", true).operator_form);
  // A plain text is encoded once; other kinds print what they find at run time.
  EXPECT_EQ(compiled(U"caf\u00e9").action_utf8, "caf\xC3\xA9");
  EXPECT_EQ(compiled(U"..x", true).action_utf8, "..x");
  EXPECT_EQ(compiled(U".t").action_utf8, "");
}

TEST(EventKinds, FeedbackCommandsAndTheirArguments) {
  struct {
    text written;
    feedback_command command;
    std::int32_t argument;
  } const rows[] = {
      {U"", feedback_command::none, 0},
      {U"stop", feedback_command::none, 0},
      {U"i", feedback_command::indent, 0},
      {U"lf", feedback_command::line_feed, 0},
      {U"..", feedback_command::close_streams, 0},
      {U"end", feedback_command::end, 0},
      {U"upto'", feedback_command::up_to, U'\''},
      {U"upto.34", feedback_command::up_to, 34},
      {U"upto", feedback_command::unreadable_up_to, 1},
      {U"upto.x", feedback_command::unreadable_up_to, 1},
      {U"upto.256", feedback_command::unreadable_up_to, 1},
  };
  for (const auto& r : rows) {
    const feedback got = compiled(U"", false, r.written).command;
    EXPECT_EQ(got.command, r.command) << to_utf8(r.written);
    EXPECT_EQ(got.argument, r.argument) << to_utf8(r.written);
  }
}

TEST(EventKinds, AnUnreadableUptoFailsWithItsOwnMessage) {
  header_settings header;
  for (auto [written, message] : {std::pair{U"upto", U"wrong `upto` tocken in schema ``"},
                                  std::pair{U"upto.x", U"error asc value = `x`"}}) {
    try {
      up_to_delimiter(header, written);
      ADD_FAILURE() << "no error for " << to_utf8(written);
    } catch (const engine_error& e) {
      EXPECT_EQ(e.description(), message);
    }
  }
}

TEST(EventKinds, PostEventKinds) {
  const event_row row = compiled(U"", false, U"", {U"A", U".d", U".=x", U".dd"});
  EXPECT_EQ(row.post_event_is[1], post_event_kind::named);
  EXPECT_EQ(row.post_event_is[2], post_event_kind::repeat);
  EXPECT_EQ(row.post_event_is[3], post_event_kind::identifier);
  EXPECT_EQ(row.post_event_is[4], post_event_kind::named);
}

}  // namespace
}  // namespace zr
