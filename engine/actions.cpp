#include "engine/actions.h"

#include <algorithm>
#include <string_view>

#include "common/checked.h"
#include "common/errors.h"
#include "common/growth.h"
#include "engine/custom_actions.h"
#include "engine/engine_state.h"
#include "engine/interpreter.h"
#include "engine/messages.h"
#include "engine/run.h"
#include "engine/streams.h"
#include "engine/variables.h"

namespace zr {

// Locators are set at every step: "sv" literals carry their length, which a
// plain U"..." would have counted at run time.
using namespace std::string_view_literals;

namespace {

// Visits the pieces a macro text is made of, in order: plain text up to the
// next doubled escape; after the doubled macro escape, a stream letter's
// stream text, or the action escape and a digit's element of the current
// stack segment. `visit(piece, stream)` is told the stream whose text a
// macro variable's piece is, -1 for the other pieces. Reading a piece
// changes nothing, so a text can be walked twice. Raises "sorry, now only
// one digit is implemented ... " for a stack reference without a digit, the
// index-range error for a letter that names no stream. A piece is a
// text_view, or a std::string_view of a value held as ASCII bytes.
// Where the macro escape `escape` first stands doubled in `rest`; its size
// when nowhere. A loop of its own: the standard search for a text of
// char32_t costs a call and a comparison at every candidate, and a macro text
// is searched at every piece of every print.
std::size_t find_doubled(text_view rest, char32_t escape) {
  for (std::size_t k = 0; k + 1 < rest.size(); ++k)
    if (rest[k] == escape && rest[k + 1] == escape) return k;
  return rest.size();
}

template <class Visit>
void for_each_macro_piece(engine_state& state, text_view rest, Visit visit) {
  // The doubled macro escape: two of one character.
  const char32_t escape = state.schema.names.doubled_macro_escape.front();
  const char32_t action_escape = state.schema.header.action_escape;
  while (!rest.empty()) {
    const std::size_t plain = find_doubled(rest, escape);
    if (plain > 0) {
      visit(rest.substr(0, plain), -1);
      rest.remove_prefix(plain);
      continue;
    }
    if (rest.size() < 3) raise_platform_error(error_number::index_range);
    const char32_t letter = rest[2];
    if (letter != action_escape) {
      const int stream = static_cast<int>(letter) - macro_letter_base;
      macro_variable(state, letter).read([&](auto piece) { visit(piece, stream); });
      rest.remove_prefix(3);
      continue;
    }
    const char32_t digit = rest.size() > 3 ? rest[3] : 0;
    if (digit < U'0' || digit > U'9')
      raise_engine_error(U"sorry, now only one digit is implemented ... ");
    const variable_table& vars = state.variables;
    table_entry(state, stack_base + static_cast<long long>(vars.sss) * vars.zzz + (digit - U'0'))
        .read([&](auto piece) { visit(piece, -1); });
    rest.remove_prefix(4);
  }
}

// What an action yields. `printed` refers to the text where it stands (the
// action, the token, the event) or to `built`, a macro text expanded here.
struct action_output {
  text_view printed;
  std::string_view printed_utf8;  // printed in UTF-8, when encoded beforehand
  bool to_console = false;
  text built;
  text_view unbuilt;  // a macro text to print piece by piece (print_macro_text)
};

// Appends a macro text's piece to engine text or to the result's UTF-8. A
// piece of ASCII bytes is the same characters and the same UTF-8.
void append_piece(text_view piece, text& out) {
  append_growing(out, piece);
}
void append_piece(std::string_view piece, text& out) {
  append_utf8(piece, out);
}
void append_piece(text_view piece, std::string& out) {
  append_as_utf8(piece, out);
}
void append_piece(std::string_view piece, std::string& out) {
  append_growing(out, piece);
}

struct macro_measure {
  std::size_t length = 0;
  bool reads_open_stream = false;  // a piece is the text of an open stream
};

macro_measure measure_macro_text(engine_state& state, text_view rest) {
  macro_measure measure;
  for_each_macro_piece(state, rest, [&](auto piece, int stream) {
    measure.length += piece.size();
    if (stream >= 0 && checked_at(state.streams.stream_open, stream))
      measure.reads_open_stream = true;
  });
  return measure;
}

// Whether a macro text can be printed piece by piece where it goes, without
// a text of its own: nothing else sees it (no trace, no console) and, while
// streams are open, none of its pieces is a stream that grows as it is
// printed.
bool prints_macro_straight(const engine_state& state, const macro_measure& measure) {
  if (tracing(state)) return false;
  if (state.streams.open_streams > 0) return !measure.reads_open_stream;
  return !state.schema.header.print_while_processing;
}

// Prints a macro text piece by piece into the open streams or, with none
// open, into the result: it can join whole collected streams, and joining
// them into a text of its own first would copy them twice. An empty one
// prints nothing, as an empty text does.
void print_macro_text(engine_state& state, text_view rest) {
  if (state.streams.open_streams > 0) {
    for_each_open_stream(state.streams, [&](int n) {
      value_text& content = stream_content(state, n);
      for_each_macro_piece(state, rest, [&](auto piece, int) { content.append(piece); });
    });
    return;
  }
  print_line_prefix(state);
  for_each_macro_piece(state, rest,
                       [&](auto piece, int) { append_piece(piece, state.run.result_body); });
}

// The macro text expanded into room made once, `length` characters as
// measured: a macro text can join whole streams, and growing it piece by
// piece would copy them again.
text built_macro_text(engine_state& state, text_view rest, std::size_t length) {
  text out;
  reserve_growing(out, length);
  for_each_macro_piece(state, rest, [&](auto piece, int) { append_piece(piece, out); });
  trace(state, U"stream to print =`", out, U"`");
  return out;
}

// The statement after the action's two escapes; an operator statement runs
// as it was split when the schema was compiled.
void run_statement(engine_state& state, const event_row& row) {
  const text_view statement = text_view(row.action).substr(2);
  if (row.operator_form) {
    run_operator_statement(state, statement, *row.operator_form);
    return;
  }
  if (run_action_statement(state, statement)) return;
  try {
    actc(state, statement);
  } catch (...) {
    raise_with_context(U"error when calling user defined sub in `actc` ... ");
  }
}

void evaluate_macro_text(engine_state& state, text_view rest, action_output& output) {
  state.dialog.locator = U"parse_strings_with_macro_variables"sv;
  const macro_measure measure = measure_macro_text(state, rest);  // what can fail fails here
  if (!prints_macro_straight(state, measure)) {
    output.built = built_macro_text(state, rest, measure.length);
    output.printed = output.built;
  } else if (measure.length > 0) {
    output.unbuilt = rest;
  }
}

void evaluate(engine_state& state, const event_row& row, action_output& output) {
  const run_state& run = state.run;
  // Macro texts and statements follow the action's first two characters.
  switch (row.action_is) {
    case action_kind::print_action:
      output.printed = row.action;
      output.printed_utf8 = row.action_utf8;
      return;
    case action_kind::console_message:
      output.printed = row.action;
      output.to_console = true;
      return;
    case action_kind::macro_text:
      evaluate_macro_text(state, text_view(row.action).substr(2), output);
      return;
    case action_kind::print_token:
      output.printed = run.tocken;
      return;
    case action_kind::print_same_token:
      output.printed =
          run.coming_event == state.schema.names.identifier_event ? run.tocken : run.coming_event;
      return;
    case action_kind::statement:
      run_statement(state, row);
      return;
    case action_kind::nothing:
      return;
  }
}

}  // namespace

void run_event_action(engine_state& state, std::int16_t e) {
  const event_row& row = checked_at(state.schema.events, e);
  state.dialog.locator = U"handlig_action_error"sv;
  if (tracing(state))
    trace(state, U"action(", number_text(e), U")=", row.action, U"  act_text(event_ind)= ",
          bool_text(row.act_text));
  action_output output;
  evaluate(state, row, output);
  state.dialog.locator = U"making_text_error"sv;
  if (!output.unbuilt.empty()) {
    print_macro_text(state, output.unbuilt);
    return;
  }
  if (output.to_console) {
    send_message(state, output.printed);
    return;
  }
  // While a stream is open, only the print marker also prints into the result.
  const bool streams_open = state.streams.open_streams > 0;
  if (!output.printed.empty() && (!streams_open || row.prints_past_streams))
    print_text(state, output.printed, output.printed_utf8);
  if (streams_open) append_to_streams(state, output.printed);
}

}  // namespace zr
