#include "engine/event_kinds.h"

#include <algorithm>

#include "common/errors.h"
#include "engine/interpreter.h"
#include "engine/schema_lines.h"
#include "engine/schema_table.h"

namespace zr {

namespace {

// The tests run in this order: the first that holds decides.
action_kind action_kind_of(const schema_table& schema, const event_row& row) {
  const header_settings& header = schema.header;
  const derived_names& names = schema.names;
  const text& action = row.action;
  if (row.act_text || action.empty() || action[0] != header.action_escape)
    return action_kind::print_action;
  const char32_t kind = action.size() > 1 ? action[1] : 0;
  if (kind != 0 && kind == header.text_string_escape) return action_kind::console_message;
  if (kind == U'"' || kind == U'`') return action_kind::macro_text;
  if (action == names.text_marker || action == names.print_marker) return action_kind::print_token;
  if (action == names.same_token_event) return action_kind::print_same_token;
  if (kind == header.action_escape) return action_kind::statement;
  return action_kind::nothing;
}

feedback up_to_command(const header_settings& header, text_view command, std::int16_t e) {
  try {
    return {feedback_command::up_to, static_cast<std::int32_t>(up_to_delimiter(header, command))};
  } catch (const engine_error&) {
    // Raised again when a step hands the command over, as the run reads it.
    return {feedback_command::unreadable_up_to, e};
  }
}

feedback feedback_of(const schema_table& schema, text_view command, std::int16_t e) {
  if (command.starts_with(U"upto")) return up_to_command(schema.header, command, e);
  if (command == U"i") return {feedback_command::indent};
  if (command == U"lf") return {feedback_command::line_feed};
  if (command == schema.names.doubled_macro_escape) return {feedback_command::close_streams};
  if (command == U"end") return {feedback_command::end};
  return {};
}

post_event_kind post_event_kind_of(const derived_names& names, const text& name) {
  if (name == names.repeat_event) return post_event_kind::repeat;
  if (name.starts_with(names.same_token_event)) return post_event_kind::identifier;
  return post_event_kind::named;
}

}  // namespace

void compile_event_kinds(schema_table& schema) {
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    event_row& row = schema.events[static_cast<std::size_t>(e)];
    row.action_is = action_kind_of(schema, row);
    // While a stream is open the print marker also prints into the result,
    // whatever kind its action is.
    row.prints_past_streams = row.action == schema.names.print_marker;
    row.command = feedback_of(schema, row.feed_back, e);
    row.action_utf8 =
        row.action_is == action_kind::print_action ? to_utf8(row.action) : std::string();
    row.operator_form = std::nullopt;
    if (row.action_is == action_kind::statement)
      row.operator_form =
          read_operator_statement(schema.header.external_proc_par, text_view(row.action).substr(2));
    for (std::int16_t k = 1; k <= row.post_events_quantity && k <= max_post_events; ++k)
      row.post_event_is[static_cast<std::size_t>(k)] =
          post_event_kind_of(schema.names, row.post_event[static_cast<std::size_t>(k)]);
  }
}

char32_t up_to_delimiter(const header_settings& header, text_view command) {
  const text_view delimiter = command.substr(std::min<std::size_t>(4, command.size()), 1);
  if (delimiter.empty()) raise_engine_error(U"wrong `upto` tocken in schema ``");
  if (delimiter[0] != header.event_escape) return delimiter[0];
  return char_of_code(command.substr(5))[0];
}

}  // namespace zr
