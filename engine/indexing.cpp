#include "engine/indexing.h"

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/schema_lines.h"

namespace zr {

namespace {

// A separator that cannot be shown as it is (a control character or a
// character above 127) is shown as the schema writes it: the event escape and
// its code.
text shown_event_name(const engine_state& state, const text& name) {
  if (name.empty() || (name[0] >= 32 && name[0] < 128)) return name;
  text shown(1, state.schema.header.event_escape);
  return shown + number_text(name[0]);
}

void debug_value(engine_state& state, text_view label, text_view value) {
  text line(label);
  line += value;
  schema_debug_line(state, line);
}

void debug_number(engine_state& state, text_view label, long long value) {
  debug_value(state, label, number_text(value));
}

void debug_bool(engine_state& state, text_view label, bool value) {
  debug_value(state, label, bool_text(value));
}

// Resolves one state name, tracing the name and the index found.
std::int16_t traced_index(engine_state& state, text_view label, text_view name) {
  debug_value(state, label, name);
  std::int16_t index = find_state_index(state, name);
  debug_number(state, U"index=", index);
  return index;
}

}  // namespace

std::int16_t find_state_index(engine_state& state, text_view name) {
  const schema_table& schema = state.schema;
  std::int16_t index = state_index(schema, name);
  if (index > 0) return index;
  const auto named = state.reader.first_named.find(name);
  if (named != state.reader.first_named.end()) state.reader.unknown_state_at = named->second;
  text message = U"SCHEMA IS NOT COMPLETE: state `";
  message += name;
  message += U"` does not have any events ... ";
  message += text_crlf;
  message += U" event=`";
  message += checked_at(schema.events, schema.events_quantity).event_name;
  message += U"` ";
  message += text_crlf;
  message += U" state nest header starts from =`";
  message += state.reader.nest_header[1];
  message += U"`";
  raise_engine_error(message);
}

void index_states(engine_state& state) {
  schema_table& schema = state.schema;
  text banner(text_crlf);
  banner += U"========== indexing states: ===========";
  banner += text_crlf;
  schema_debug_line(state, banner);
  debug_number(state, U"events quantity=", schema.events_quantity);
  debug_number(state, U"states quantity=", schema.states_quantity);
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    event_row& row = checked_at(schema.events, e);
    text heading(text_crlf);
    heading += U"event `";
    heading += row.event_name;
    heading += U"`";
    heading += text_crlf;
    schema_debug_line(state, heading);
    for (std::int16_t k = 1; k <= row.nest_depth; ++k)
      checked_at(row.nest_state_index, k) =
          traced_index(state, U"state=", checked_at(row.nest_state_name, k));
    // Without a next state the dialog keeps the current one.
    if (row.post_states_quantity == 0) {
      row.post_states_quantity = 1;
      row.post_state_name[1] = schema.state_name[builtin_state::none];
    }
    for (std::int16_t k = 1; k <= row.post_states_quantity; ++k)
      checked_at(row.post_state, k) =
          traced_index(state, U"post state=", checked_at(row.post_state_name, k));
  }
  compile_event_kinds(schema);
  schema.lookup = build_lookup(schema);
}

void dump_event(engine_state& state, std::int16_t event_index) {
  if (!state.flags.debug_on) return;
  const schema_table& schema = state.schema;
  const event_row& row = checked_at(schema.events, event_index);
  text heading = U"registered event ";
  heading += number_text(event_index);
  heading += U"  =`";
  heading += shown_event_name(state, row.event_name);
  heading += U"` has following:";
  schema_debug_line(state, heading);
  debug_value(state, U"...... action=`", row.action + U"`");
  debug_value(state, U"...... subschema=`", checked_at(schema.schema_name, row.subschema) + U"`");
  debug_bool(state, U"...... act_text(nevent)=", row.act_text);
  debug_bool(state, U"...... kword=", row.kword);
  debug_bool(state, U"...... declared_separator =", row.declared_separator);
  debug_bool(state, U"...... event_variable=", row.event_variable);
  debug_bool(state, U"...... keyword_variable=", row.keyword_variable);
  debug_bool(state, U"...... tocken_variable=", row.tocken_variable);
  debug_number(state, U"...... level=", row.level);
  debug_number(state, U"...... post_states_quantity(nevent)=", row.post_states_quantity);
  // The lists continue the line of their count.
  schema_raw_text(state, U"...... post state(s)=");
  for (std::int16_t k = 1; k <= row.post_states_quantity; ++k)
    schema_raw_text(state, checked_at(row.post_state_name, k) + U"  ");
  schema_raw_text(state, text_crlf);
  debug_number(state, U"...... post event(s) #=", row.post_events_quantity);
  if (row.post_events_quantity > 0) {
    schema_raw_text(state, U"...... post events(s)=");
    for (std::int16_t k = 1; k <= row.post_events_quantity; ++k)
      schema_raw_text(state, checked_at(row.post_event, k) + U"  ");
    schema_raw_text(state, text_crlf);
  }
  debug_value(state, U"...... feed_back=", row.feed_back);
  debug_number(state, U"...... store_fragment=", row.store_fragment);
}

}  // namespace zr
