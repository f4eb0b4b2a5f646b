// The schema table: what a schema text compiles into. Header settings, the
// names derived from the escape characters, the state table, the event table,
// the schema names and the generated extra events. Every table is used from
// index 1; index 0 exists and stays empty. Counts are 16-bit.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "engine/event_kinds.h"
#include "engine/interpreter.h"
#include "engine/lookup.h"

namespace zr {

inline constexpr std::int16_t max_states = 351;        // state indices 1..351
inline constexpr std::int16_t levent = 400;            // events 1..399
inline constexpr std::int16_t max_nest_header = 5;     // states in one nest header
inline constexpr std::int16_t nest_header_bound = 30;  // upper bound of nest_header
inline constexpr std::int16_t lnext = 5;               // next states of one event
inline constexpr std::int16_t max_post_events = 5;     // post events of one event
inline constexpr std::int16_t max_schemas = 20;        // schemas of one schema text
inline constexpr std::int16_t max_extra_events = 100;  // extra events of one line
inline constexpr std::int16_t max_items = 100;         // items after the level word

// Indices of the six built-in states.
namespace builtin_state {
inline constexpr std::int16_t indent = 1;  // S "s": one indent body per occurrence
inline constexpr std::int16_t root = 2;    // S "r": bottom of the nest
inline constexpr std::int16_t b = 3;       // S "b": registered, no role
inline constexpr std::int16_t end = 4;     // S "e": the dialog ends on it
inline constexpr std::int16_t none = 5;    // S alone: a next state not pushed
inline constexpr std::int16_t any = 6;     // S "a": accepted in every nest
}  // namespace builtin_state

// The header directives of a schema text, with their defaults.
struct header_settings {
  text help_mode;  // empty or "F" when off
  bool debug_schema = false;
  bool debug_dialog = false;
  bool steps_in_schema = false;
  bool steps_in_dialog = false;
  bool tocken_case_insensetive = true;
  bool keyword_case_insensetive = true;
  bool separator_case_insensetive = true;
  bool print_while_processing = true;
  char32_t state_escape = U'-';
  char32_t text_string_escape = U'`';
  char32_t event_escape = U'.';
  char32_t action_escape = U'.';
  char32_t feedback_escape = U'\\';
  char32_t internal_event_escape = U'+';
  char32_t keyword_escape = U'_';
  char32_t external_proc_par = U'#';
  char32_t comment_in_schema = U'\'';
  char32_t macro_variable_escape = U'.';
  char32_t variable_escape = U'$';
  text indent_body = U"   ";
};

// Names formed from the escape characters once the header has been read.
struct derived_names {
  text identifier_event;      // E "id"
  text end_of_text_event;     // E "eot"
  text any_event;             // E alone
  text end_event;             // E "end"
  text init_event;            // E "init"
  text repeat_event;          // E "d"
  text same_token_event;      // E "="
  text text_marker;           // A "t"
  text print_marker;          // A "p"
  text doubled_macro_escape;  // M M
};

derived_names derive_names(const header_settings& header);
// E "prg" and n: the name given to the next event of a program.
text generated_program_name(const header_settings& header, long long n);
// E "!" E and n: the name of a generated text event.
text generated_text_event_name(const header_settings& header, long long n);

// One row of the event table. The positional columns have bounds 0..5 and
// are used from 1. What a dialog step reads comes first, so that a step
// touches a few cache lines of a row; the state names, read only while the
// schema is compiled, come last. The kinds (action_is, command,
// post_event_is, operator_form) are decided from the texts once the schema
// is read (engine/event_kinds.h).
struct event_row {
  text event_name;
  text action;
  action_kind action_is = action_kind::print_action;
  bool prints_past_streams = false;  // the print marker: into the result while streams are open
  feedback command;                  // the feed back command
  std::array<post_event_kind, max_post_events + 1> post_event_is{};
  std::int16_t subschema = 0;
  bool act_text = false;
  bool kword = false;
  bool declared_separator = false;
  bool event_variable = false;
  bool keyword_variable = false;
  bool tocken_variable = false;
  std::int16_t level = 0;
  std::int16_t nest_depth = 0;
  std::array<std::int16_t, max_nest_header + 1> nest_state_index{};
  std::int16_t post_states_quantity = 0;
  std::array<std::int16_t, lnext + 1> post_state{};
  std::int16_t post_events_quantity = 0;
  std::int16_t store_fragment = 0;
  text feed_back;
  std::array<text, max_post_events + 1> post_event;
  std::array<text, max_nest_header + 1> nest_state_name;
  std::array<text, lnext + 1> post_state_name;
  // A statement action that is an operator statement, split once.
  std::optional<operator_statement> operator_form;
  // A plain text action's text in UTF-8, as the result takes it: printed
  // at every step, it is encoded once.
  std::string action_utf8;
};

struct extra_event {
  text name;
  text action;
};

struct schema_table {
  header_settings header;
  derived_names names;
  std::array<text, max_states + 1> state_name;
  std::int16_t states_quantity = 0;
  std::vector<event_row> events = std::vector<event_row>(levent + 1);
  std::int16_t events_quantity = 0;
  std::array<text, max_schemas + 1> schema_name;
  std::int16_t schemas_quantity = 0;
  std::array<extra_event, max_extra_events + 1> extra_events;
  std::int16_t extra_events_quantity = 0;
  std::int32_t generated_name_counter = 0;
  schema_lookup lookup;  // built from the event table once it is indexed
};

// State of the schema reader while a schema text is compiled.
struct reader_state {
  // How much of the schema text (run.source_text while the schema is read)
  // the reader has consumed: the text still to be read is what follows.
  // Reading moves it forward instead of erasing the text's front, which
  // would copy the rest of the schema at every line.
  std::size_t consumed = 0;
  text current_line;
  char32_t word_separator = U',';
  std::array<text, nest_header_bound + 1> nest_header;
  text pending_program_name;
  text locator;
  // Offset in the schema text where each next state was first named, and that
  // offset for a state that has no events, so a failure can point at it.
  std::map<text, std::size_t, std::less<>> first_named;
  std::optional<std::size_t> unknown_state_at;
  // Doubtful places the reader went on past (a level word that is not a
  // number): offset in the schema text and what is doubtful there.
  std::vector<std::pair<std::size_t, std::string>> warnings;
};

// Empties the table for a new run: header defaults, every count zero.
void reset_schema_table(schema_table& table);

// The six built-in states at indices 1..6, named with the state escape in
// force; states_quantity becomes 6.
void init_builtin_states(schema_table& table);

// Appends a state; raises the index-range error past index 351.
std::int16_t add_state(schema_table& table, text_view name);

// Index of the state named exactly `name`, searching 1..states_quantity in
// order; 0 when there is none.
std::int16_t state_index(const schema_table& table, text_view name);

// Adds one row to the event table (every column empty, zero or false) and
// returns it. Raises "array size = 'levent' is too small ..." when the count
// reaches 400, so at most 399 events exist.
event_row& new_event_row(schema_table& table);

}  // namespace zr
