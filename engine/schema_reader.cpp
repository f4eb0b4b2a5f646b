#include "engine/schema_reader.h"

#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/host_poll.h"
#include "engine/indexing.h"
#include "engine/registration.h"
#include "engine/run.h"
#include "engine/schema_lines.h"
#include "engine/source_view.h"

namespace zr {

namespace {

constexpr text_view schema_marker = U"\\\\schema";
constexpr text_view end_schema_marker = U"\\\\end schema";
constexpr text_view end_file_marker = U"\\\\end file";

// The header directives: every line of the schema text before its first
// schema marker, each line introduced by an LF.
class header_reader {
 public:
  header_reader(engine_state& state, text header) : state_(state), header_(std::move(header)) {}

  // The rest of the first line that begins with `directive`, up to its CR or
  // LF, untrimmed; `fallback` when no line begins with it.
  text option(text_view directive, text_view fallback) const {
    text needle(text_lf);
    needle += directive;
    std::size_t at = header_.find(needle);
    if (at == text::npos) return text(fallback);
    std::size_t from = at + needle.size();
    std::size_t to = header_.find_first_of(U"\r\n", from);
    return header_.substr(from, to == text::npos ? text::npos : to - from);
  }

  // Exactly "t" is true, exactly "f" false; anything else (capitals,
  // blanks, "true", nothing) is the default.
  bool flag(text_view directive, bool fallback) {
    text value = option(directive, U"");
    bool setting = value == U"t" ? true : value == U"f" ? false : fallback;
    schema_debug_line(state_, text(directive) + bool_text(setting));
    return setting;
  }

  // The first character of the value with its spaces trimmed.
  char32_t character(text_view directive, char32_t fallback) {
    text value = trimmed(option(directive, U""));
    char32_t setting = value.empty() ? fallback : value[0];
    schema_debug_line(state_, text(directive) + char_text(setting));
    return setting;
  }

  static text trimmed(text_view value) {
    std::size_t from = value.find_first_not_of(U' ');
    if (from == text_view::npos) return U"";
    std::size_t to = value.find_last_not_of(U' ');
    return text(value.substr(from, to - from + 1));
  }

 private:
  engine_state& state_;
  text header_;
};

text upper_case(text_view value) {
  text upper;
  for (char32_t c : value)
    upper += upper_char(c);
  return upper;
}

// "\\?", then "\\help", then "\\help=": the first whose trimmed, upper-cased
// value is not "F" decides. A directive with nothing after it means "T".
text read_help_mode(const header_reader& header) {
  text mode = U"F";
  for (text_view directive : {U"\\\\?", U"\\\\help", U"\\\\help="}) {
    mode = upper_case(header_reader::trimmed(header.option(directive, U"F")));
    if (mode != U"F") break;
  }
  return mode.empty() ? U"T" : mode;
}

void read_header(engine_state& state, header_reader& header) {
  const header_settings defaults;
  header_settings& h = state.schema.header;
  h.help_mode = read_help_mode(header);
  const bool help = h.help_mode != U"F";
  h.debug_schema = header.flag(U"\\\\debug schema=", defaults.debug_schema);
  if (help || h.debug_schema) switch_debug_on(state);

  h.debug_dialog = header.flag(U"\\\\debug dialog=", defaults.debug_dialog);
  h.steps_in_schema = header.flag(U"\\\\steps in schema=", defaults.steps_in_schema);
  h.steps_in_dialog = header.flag(U"\\\\steps in dialog=", defaults.steps_in_dialog);
  h.tocken_case_insensetive =
      header.flag(U"\\\\tocken case insensetive=", defaults.tocken_case_insensetive);
  h.keyword_case_insensetive =
      header.flag(U"\\\\keyword case insensetive=", defaults.keyword_case_insensetive);
  h.separator_case_insensetive =
      header.flag(U"\\\\separator case insensetive=", defaults.separator_case_insensetive);
  h.print_while_processing =
      header.flag(U"\\\\print while processing=", defaults.print_while_processing);
  h.state_escape = header.character(U"\\\\state escape=", defaults.state_escape);
  h.text_string_escape = header.character(U"\\\\text string escape=", defaults.text_string_escape);
  h.event_escape = header.character(U"\\\\event escape=", defaults.event_escape);
  h.action_escape = header.character(U"\\\\action escape=", defaults.action_escape);
  h.feedback_escape = header.character(U"\\\\feedback escape=", defaults.feedback_escape);
  h.internal_event_escape =
      header.character(U"\\\\internal event escape=", defaults.internal_event_escape);
  h.keyword_escape = header.character(U"\\\\keyword escape=", defaults.keyword_escape);
  h.external_proc_par = header.character(U"\\\\external proc par=", defaults.external_proc_par);
  h.comment_in_schema = header.character(U"\\\\comment in schema=", defaults.comment_in_schema);
  h.macro_variable_escape =
      header.character(U"\\\\macro variable escape=", defaults.macro_variable_escape);

  h.indent_body = header.option(U"\\\\indent body=", defaults.indent_body);
  schema_debug_line(state, U"\\\\indent body=" + h.indent_body + U"<END OF INDENT>");
  h.variable_escape = header.character(U"\\\\variable_escape=", defaults.variable_escape);

  // Every setting has been echoed before help mode stops the run.
  if (help) raise_engine_error(U"schema will be not executed in help mode;");
}

void init_builtin_names(engine_state& state) {
  schema_table& schema = state.schema;
  schema.names = derive_names(schema.header);
  init_builtin_states(schema);
  schema.generated_name_counter = 0;
  state.reader.pending_program_name.clear();
}

bool begins_with(text_view source, text_view marker) {
  return source.substr(0, marker.size()) == marker;
}

void check_end_markers(text_view source) {
  if (source.find(end_schema_marker) == text::npos)
    raise_engine_error(U"missed '\\\\end schema' in the schema text");
  if (source.find(end_file_marker) == text::npos)
    raise_engine_error(U"missed '\\\\end file' in the schema text");
}

// A schema's name is the first word after its marker and one more character;
// without one the schema is known by its number.
void read_schema_name(engine_state& state) {
  schema_table& schema = state.schema;
  text& line = state.reader.current_line;
  line.erase(0, std::min<std::size_t>(line.size(), schema_marker.size() + 1));
  text name = first_word(state);
  if (name.empty() || name[0] == U'\'') name = number_text(schema.schemas_quantity);
  schema.schema_name[schema.schemas_quantity] = name;
}

// The lines of one schema up to the next schema marker or the end marker.
void read_schema_block(engine_state& state) {
  for (text_view source = schema_rest(state);
       !begins_with(source, schema_marker) && !begins_with(source, end_schema_marker);
       source = schema_rest(state)) {
    // The end marker was seen in the text, but not at the start of a line.
    if (source.empty())
      raise_engine_error(U"schema text ended before a line beginning with `\\\\end schema` ...");
    poll_host(state);
    state.reader.word_separator = U' ';
    text word = first_word(state);
    if (!word.empty() && word[0] != state.schema.header.comment_in_schema)
      register_block(state);
    else
      next_line(state);
  }
}

void read_schemas(engine_state& state) {
  schema_table& schema = state.schema;
  while (!begins_with(schema_rest(state), end_schema_marker)) {
    peek_line(state);
    schema_raw_text(state, state.reader.current_line);
    bounded_increment(schema.schemas_quantity, max_schemas, U"increase array index for schemas");
    read_schema_name(state);
    next_line(state);
    schema_raw_text(state, state.reader.current_line);
    read_schema_block(state);
  }
}

}  // namespace

void start_text(engine_state& state) {
  run_state& run = state.run;
  run.end_of_text = false;
  read_source(run, [&](auto source) {
    run.text_length = static_cast<std::int64_t>(source.size());
    state.reader.current_line = text_of(first_line(source));
  });
}

void read_schema(engine_state& state) {
  reader_state& reader = state.reader;
  try {
    reader.locator = U"prepare text";
    start_text(state);
    state.reader.consumed = 0;
    text_view source = schema_rest(state);
    std::size_t marker = source.find(schema_marker);
    if (marker == text::npos) raise_engine_error(U"no `\\\\schema` string ...");

    // The header ends with the first backslash of the schema marker.
    header_reader header(state, text(text_lf) + text(source.substr(0, marker + 1)));
    read_header(state, header);
    init_builtin_names(state);
    set_steps(state, state.schema.header.steps_in_schema);

    consume_schema(state, marker);
    check_end_markers(schema_rest(state));
    state.schema.schemas_quantity = 0;
    reader.locator = U"cycle via different schemas";
    read_schemas(state);

    if (state.schema.events_quantity >= 1) index_states(state);
    state.flags.debug_on = false;
  } catch (...) {
    raise_with_context(U"in module \"schema\"\r\nlocator: " + reader.locator);
  }
}

}  // namespace zr
