#include "engine/registration.h"

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/host_poll.h"
#include "engine/indexing.h"
#include "engine/run.h"
#include "engine/schema_lines.h"

namespace zr {

namespace {

// What one event line has read so far besides its row.
struct line_counts {
  std::int16_t next_states = 0;
  std::int16_t post_events = 0;
  bool item_seen = false;  // later plain words are comments, not next states
};

bool starts_with(text_view word, char32_t c) {
  return !word.empty() && word[0] == c;
}

bool starts_with(text_view word, char32_t first, char32_t second) {
  return word.size() > 1 && word[0] == first && word[1] == second;
}

text concat(std::initializer_list<text_view> parts) {
  text joined;
  for (text_view part : parts)
    joined += part;
  return joined;
}

// Where current_line starts in source_text. current_line is the tail of the
// first line of source_text whenever an event word or action is read: it is
// only shortened from the front, and the blank put before the rest of a
// header line is taken again before the event word.
std::size_t current_line_offset(const engine_state& state) {
  return first_line(schema_rest(state)).size() - state.reader.current_line.size();
}

// Where current_line starts in the whole schema text: the text still to be
// read is a suffix of it.
std::size_t schema_offset(const engine_state& state) {
  return state.run.schema_text.size() - schema_rest(state).size() + current_line_offset(state);
}

// Reads the quoted text that begins at `start` of the text still to be read
// (its first character is the quote) and may run over several lines. The
// schema text then goes on after the closing quote; current_line becomes the
// rest of that line, blanks skipped.
text read_spanning_quote(engine_state& state, std::size_t start) {
  text_view from_quote = schema_rest(state).substr(start);
  std::size_t end = 0;
  text quoted = quoted_text(from_quote, from_quote.at(0), end);
  consume_schema(state, start + end);
  peek_line(state);
  skip_blanks(state);
  return quoted;
}

text separator_name(const engine_state& state, event_row& row, const text& name) {
  row.declared_separator = true;
  return state.schema.header.separator_case_insensetive ? lower_case(name) : name;
}

// The event name that the written event word stands for; sets the row's kind
// flags. `word_start` is where the word stands in the text still to be read.
text event_word_name(engine_state& state, event_row& row, const text& word,
                     std::size_t word_start) {
  const header_settings& h = state.schema.header;
  const char32_t k = h.keyword_escape, v = h.variable_escape, e = h.event_escape;
  if (starts_with(word, k)) {
    row.kword = true;
    text name = word.substr(1);
    return h.keyword_case_insensetive ? lower_case(name) : name;
  }
  if (starts_with(word, v)) {
    if (starts_with(word, v, v)) return separator_name(state, row, word.substr(1));
    row.event_variable = true;
    if (starts_with(word, v, k)) {
      if (word.size() > 2 && word[2] == k) {
        row.tocken_variable = true;
        return word.substr(2);
      }
      row.keyword_variable = true;
      return word.substr(2);
    }
    row.tocken_variable = true;
    return word.substr(1);
  }
  if (starts_with(word, e)) {
    if (starts_with(word, e, e)) return separator_name(state, row, word.substr(1));
    text code = word.substr(1);
    if (read_number(code)) return separator_name(state, row, char_of_code(code));
    return word;  // a built-in or generated event name such as E "eot"
  }
  if (starts_with(word, U'"')) {
    // The separator may hold blanks and line breaks, so it is read from the
    // schema text itself rather than from the word.
    row.declared_separator = true;
    return read_spanning_quote(state, word_start);
  }
  return separator_name(state, row, word);
}

// A program line: the event calls a statement and hands on to the next event
// line through a generated program name.
void read_program_line(engine_state& state, event_row& row, line_counts& counts) {
  schema_debug_line(state, U"this event is a program");
  const header_settings& h = state.schema.header;
  text next = generated_program_name(h, state.schema.events_quantity + 1);
  counts.post_events = 1;
  row.post_event[1] = next;
  state.reader.pending_program_name = next;
  const text& line = state.reader.current_line;
  text action(2, h.action_escape);
  std::size_t comma = line.find(U',');
  if (comma != text::npos && comma + 1 < line.size() && line[comma + 1] == U'"') {
    std::size_t end = 0;
    text argument = quoted_text(text_view(line).substr(comma + 1), U'"', end);
    action += concat({line.substr(0, comma + 1), U"\"", argument, U"\""});
  } else {
    action += take_first_word(state);
  }
  row.action = action;
}

void read_action(engine_state& state, event_row& row) {
  const header_settings& h = state.schema.header;
  const char32_t t = h.text_string_escape, a = h.action_escape;
  text& line = state.reader.current_line;
  if (starts_with(line, t)) {
    std::size_t end = 0;
    row.action = quoted_text(line, t, end);
    row.act_text = true;
    line.erase(0, end);
    skip_blanks(state);
  } else if (starts_with(line, a, U'"') || starts_with(line, a, t)) {
    schema_debug_line(state, U"build active-text-action");
    const char32_t quote = line[1];
    text quoted = read_spanning_quote(state, current_line_offset(state) + 1);
    quoted = replace_all(quoted, U"..\\r", U"\r");
    quoted = replace_all(quoted, U"..\\n", U"\n");
    row.action = concat({text(1, a), text(1, quote), quoted});
    schema_debug_line(state, U"line after building:" + state.reader.current_line);
  } else {
    text word = take_first_word(state);
    // A word cannot hold a blank; a final underscore stands for one.
    if (!word.empty() && word.back() == U'_') word.back() = U' ';
    row.action = word;
    schema_debug_line(state, concat({U" action=plain text print =`", word, U"`"}));
  }
}

// A line without a level word starts a program: the next event line takes
// the generated name queued here.
void start_program(engine_state& state, event_row& row, line_counts& counts) {
  text next = generated_program_name(state.schema.header, state.schema.events_quantity + 1);
  counts.post_events = 1;
  row.post_event[1] = next;
  state.reader.pending_program_name = next;
  row.act_text = false;
}

// Reads the level word; false when the line starts a program instead.
bool read_level(engine_state& state, event_row& row, line_counts& counts) {
  const std::size_t word_at = schema_offset(state);
  text word = take_first_word(state);
  state.schema.extra_events_quantity = 0;
  if (word.empty() || word[0] == state.schema.header.comment_in_schema) {
    start_program(state, row, counts);
    return false;
  }
  // Anything but a number (say a next state written straight after the
  // action) is dropped.
  if (std::optional<std::int32_t> level = read_number(word)) {
    if (*level < INT16_MIN || *level > INT16_MAX) raise_platform_error(error_number::overflow);
    row.level = static_cast<std::int16_t>(*level);
  } else {
    state.reader.warnings.emplace_back(
        word_at, "level word `" + to_utf8(word) + "` is not a number: level 0, word dropped");
  }
  schema_debug_line(state, U"first `next_state`=  lnext=" + number_text(lnext));
  return true;
}

void add_text_post_event(engine_state& state, event_row& row, line_counts& counts) {
  text& line = state.reader.current_line;
  schema_debug_line(
      state, concat({U"building event-text-action `", text_view(line).substr(0, 20), U"` ..."}));
  std::size_t end = 0;
  text action_text = quoted_text(line, state.schema.header.text_string_escape, end);
  line.erase(0, end);
  if (counts.post_events >= max_post_events)
    raise_engine_error(U"no array space for `post-events`");
  ++counts.post_events;
  row.post_event[counts.post_events] = create_extra_event(state, action_text, U"text");
  counts.item_seen = true;
  skip_blanks(state);
}

void add_named_post_event(engine_state& state, event_row& row, line_counts& counts,
                          const text& word) {
  const header_settings& h = state.schema.header;
  schema_debug_line(state, concat({U"adding event=`", word, U"`", U" to queue"}));
  if (counts.post_events >= max_post_events) raise_engine_error(U"too many `next events` ... ");
  ++counts.post_events;
  text rest = word.substr(1);
  if (starts_with(rest, h.keyword_escape)) rest.erase(0, 1);
  text name;
  if (rest.empty()) {
    name = generated_program_name(h, state.schema.events_quantity + 1);
    state.reader.pending_program_name = name;
  } else if (starts_with(rest, h.event_escape, h.event_escape)) {
    name = rest.substr(1);
  } else if (starts_with(rest, h.event_escape) && read_number(rest.substr(1))) {
    name = char_of_code(rest.substr(1));
  } else {
    name = rest;
  }
  row.post_event[counts.post_events] = name;
  counts.item_seen = true;
}

void set_store_fragment(engine_state& state, event_row& row, const text& word) {
  schema_debug_line(state, concat({U"macro = `", word, U"`"}));
  text letter = word.substr(2);
  if (letter.empty()) raise_engine_error(U"macro is empty ... ");
  // Stream letters run from "`" (0) through "a" (1) to "~" (30).
  long long stream = static_cast<long long>(letter[0]) - 96;
  if (stream < 0 || stream > 30)
    raise_engine_error(concat({U"illigal char in macro = `", letter, U"`"}));
  row.store_fragment = static_cast<std::int16_t>(stream);
}

// The items after the level word: next states first, then post events,
// feedback, macro and text post events in any order, then a comment.
void read_items(engine_state& state, event_row& row, line_counts& counts) {
  const header_settings& h = state.schema.header;
  for (std::int16_t pass = 1; pass <= max_items; ++pass) {
    if (starts_with(state.reader.current_line, h.text_string_escape)) {
      add_text_post_event(state, row, counts);
      continue;
    }
    const std::size_t word_at = schema_offset(state);
    text word = take_first_word(state);
    if (word.empty()) return;
    if (word[0] == h.internal_event_escape) {
      add_named_post_event(state, row, counts, word);
    } else if (word[0] == h.feedback_escape) {
      schema_debug_line(state, U" ws in \\ = " + word);
      row.feed_back = word.substr(1);
      counts.item_seen = true;
    } else if (starts_with(word, h.macro_variable_escape, h.macro_variable_escape)) {
      set_store_fragment(state, row, word);
      counts.item_seen = true;
    } else if (word[0] == h.comment_in_schema) {
      return;
    } else if (!counts.item_seen) {
      if (counts.next_states >= lnext) raise_engine_error(U"too many states in a header ... ");
      ++counts.next_states;
      row.post_state_name[counts.next_states] = word;
      state.reader.first_named.try_emplace(word, word_at);
    }
  }
}

void close_row(engine_state& state, std::int16_t event_index, const line_counts& counts,
               std::int16_t header_count) {
  schema_table& schema = state.schema;
  event_row& row = checked_at(schema.events, event_index);
  row.post_states_quantity = counts.next_states;
  row.post_events_quantity = counts.post_events;
  for (std::int16_t k = 1; k <= header_count; ++k)
    checked_at(row.nest_state_name, k) = state.reader.nest_header[k];
  row.nest_depth = header_count;
  dump_event(state, event_index);
  add_extra_events(state, schema.schemas_quantity);
}

// One event line: event word, action, level word, items. current_line holds
// the line from its event word on.
void read_event_line(engine_state& state, std::int16_t header_count) {
  schema_table& schema = state.schema;
  std::size_t word_start = current_line_offset(state);
  event_row& row = new_event_row(schema);
  const std::int16_t event_index = schema.events_quantity;
  row.subschema = schema.schemas_quantity;
  wait_for_step(state);
  const text word = take_first_word(state);
  text name = event_word_name(state, row, word, word_start);
  line_counts counts;

  text& pending = state.reader.pending_program_name;
  if (pending.empty()) {
    row.event_name = name;
  } else {
    row.event_name = pending;
    schema_debug_line(
        state, concat({U"event name `", name, U"` replaced with generated name `", pending, U"`"}));
    pending.clear();
    if (word == text(1, schema.header.event_escape)) {
      read_program_line(state, row, counts);
      close_row(state, event_index, counts, header_count);
      return;
    }
  }
  read_action(state, row);
  if (read_level(state, row, counts)) read_items(state, row, counts);
  close_row(state, event_index, counts, header_count);
}

// Registers the states of the nest header and returns how many it lists.
// Leaves current_line at the first event line of the block, which may be the
// rest of the header line.
std::int16_t read_nest_header(engine_state& state) {
  reader_state& reader = state.reader;
  const text list = first_word(state);
  schema_debug_line(state, concat({text_crlf, text_crlf, U"==============================nest = ",
                                   list, U" === collecting events: ==== "}));
  take_first_word(state);
  const text rest = reader.current_line;

  reader.current_line = list;
  reader.word_separator = U',';
  std::int16_t count = 0;
  while (!reader.current_line.empty()) {
    text name = take_first_word(state);
    if (count >= max_nest_header)
      raise_engine_error(U"error in schema: states' nest is greater than " +
                         number_text(max_nest_header));
    ++count;
    reader.nest_header[count] = name;
    if (state_index(state.schema, name) == 0) {
      add_state(state.schema, name);
      schema_debug_line(state, U"registering state:=" + name);
    }
  }
  reader.word_separator = U' ';

  if (starts_with(rest, state.schema.header.comment_in_schema)) {
    next_line(state);
  } else {
    // The blank makes the rest of the header line read as an event line.
    reader.current_line = U" " + rest;
  }
  return count;
}

}  // namespace

void register_block(engine_state& state) {
  state.reader.word_separator = U' ';
  const std::int16_t header_count = read_nest_header(state);
  const char32_t comment = state.schema.header.comment_in_schema;
  while (!schema_rest(state).empty()) {
    poll_host(state);
    text word = first_word(state);
    if (!word.empty()) {
      if (word[0] != comment) return;  // the next header, or a schema marker
      next_line(state);
      continue;
    }
    schema_debug_line(state, concat({text_crlf, U"coming line:", state.reader.current_line}));
    take_first_word(state);
    word = first_word(state);
    if (!word.empty() && word[0] != comment) read_event_line(state, header_count);
    next_line(state);
  }
}

text create_extra_event(engine_state& state, text_view action_text, text_view kind) {
  schema_table& schema = state.schema;
  schema_debug_line(state, concat({U".. creating event `", action_text, U"`"}));
  ++schema.generated_name_counter;
  ++schema.extra_events_quantity;
  if (schema.extra_events_quantity > max_extra_events)
    raise_engine_error(U"no space in extra_event array ... ");
  if (kind != U"text") raise_engine_error(concat({U"cannot create and event with type ", kind}));
  text name = generated_text_event_name(schema.header, schema.generated_name_counter);
  checked_at(schema.extra_events, schema.extra_events_quantity) = {name, text(action_text)};
  return name;
}

void add_extra_events(engine_state& state, std::int16_t schema_number) {
  schema_table& schema = state.schema;
  if (schema.extra_events_quantity == 0) return;
  schema_debug_line(state, concat({text_crlf, U"*** adding extra events ... ", text_crlf}));
  for (std::int16_t i = 1; i <= schema.extra_events_quantity; ++i) {
    const extra_event& extra = checked_at(schema.extra_events, i);
    event_row& row = new_event_row(schema);
    row.event_name = extra.name;
    row.action = extra.action;
    row.subschema = schema_number;
    row.act_text = true;
    row.nest_depth = 1;
    row.nest_state_name[1] = schema.state_name[builtin_state::any];
    row.post_states_quantity = 1;
    row.post_state_name[1] = schema.state_name[builtin_state::none];
    dump_event(state, schema.events_quantity);
    schema_debug_line(state, U"...... in states: ");
    for (std::int16_t k = row.nest_depth; k >= 1; --k)
      schema_debug_line(state, U". . . . . " + row.nest_state_name[k]);
  }
  // Emptied here so that a following program line, which reads no level
  // word, cannot register the same generated events a second time.
  schema.extra_events_quantity = 0;
}

}  // namespace zr
