#include "engine/schema_table.h"

#include "common/checked.h"
#include "common/errors.h"

namespace zr {

namespace {

text escaped(char32_t escape, text_view rest) {
  text name(1, escape);
  name += rest;
  return name;
}

}  // namespace

derived_names derive_names(const header_settings& header) {
  const char32_t e = header.event_escape;
  const char32_t a = header.action_escape;
  derived_names names;
  names.identifier_event = escaped(e, U"id");
  names.end_of_text_event = escaped(e, U"eot");
  names.any_event = escaped(e, U"");
  names.end_event = escaped(e, U"end");
  names.init_event = escaped(e, U"init");
  names.repeat_event = escaped(e, U"d");
  names.same_token_event = escaped(e, U"=");
  names.text_marker = escaped(a, U"t");
  names.print_marker = escaped(a, U"p");
  names.doubled_macro_escape = text(2, header.macro_variable_escape);
  return names;
}

text generated_program_name(const header_settings& header, long long n) {
  return escaped(header.event_escape, U"prg") + number_text(n);
}

text generated_text_event_name(const header_settings& header, long long n) {
  text name = escaped(header.event_escape, U"!");
  name += header.event_escape;
  return name + number_text(n);
}

void reset_schema_table(schema_table& table) {
  table.header = header_settings{};
  table.names = derive_names(table.header);
  table.states_quantity = 0;
  table.events_quantity = 0;
  table.schemas_quantity = 0;
  table.extra_events_quantity = 0;
  table.generated_name_counter = 0;
  table.lookup = {};
}

void init_builtin_states(schema_table& table) {
  const char32_t s = table.header.state_escape;
  table.states_quantity = 0;
  for (text_view suffix : {U"s", U"r", U"b", U"e", U"", U"a"})
    add_state(table, escaped(s, suffix));
}

std::int16_t add_state(schema_table& table, text_view name) {
  // The count stays within the table (352 rows), far inside 16 bits.
  const auto index = static_cast<std::int16_t>(table.states_quantity + 1);
  checked_at(table.state_name, index) = text(name);
  table.states_quantity = index;
  return index;
}

std::int16_t state_index(const schema_table& table, text_view name) {
  for (std::int16_t i = 1; i <= table.states_quantity; ++i)
    if (table.state_name[i] == name) return i;
  return 0;
}

event_row& new_event_row(schema_table& table) {
  // The count stays below levent (400), far inside 16 bits.
  const auto index = static_cast<std::int16_t>(table.events_quantity + 1);
  table.events_quantity = index;
  if (index >= levent) raise_engine_error(U"array size = 'levent' is too small ...");
  event_row& row = table.events[index];
  row = event_row{};
  return row;
}

}  // namespace zr
