// The line and word primitives of the schema compiler. They work on the
// schema text still to be read (schema_rest: run.source_text after the
// reader.consumed characters already read, so it always stays a tail of the
// whole schema text) and on the line being read (reader.current_line,
// consumed word by word). A blank is any character whose code is 32 or less.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"

namespace zr {

struct engine_state;

inline bool is_blank(char32_t c) {
  return c <= U' ';
}

// `source` up to and including its first LF (the whole of it without one).
template <class View>
View first_line(View source) {
  const std::size_t lf = source.find('\n');
  return lf == View::npos ? source : source.substr(0, lf + 1);
}

// The schema text still to be read.
text_view schema_rest(const engine_state& state);
// Consumes the first `length` characters of the schema text still to be read.
void consume_schema(engine_state& state, std::size_t length);

// current_line := the text still to be read up to and including its first LF
// (the whole text when it has none). Nothing is consumed.
void peek_line(engine_state& state);
// peek_line, then consumes that line.
void take_line(engine_state& state);
// take_line, then peek_line: the following line becomes current.
void next_line(engine_state& state);
// current_line up to, not including, its first blank or word separator.
// Leading blanks are not skipped: a line that begins with one has an empty
// first word.
text first_word(const engine_state& state);
// first_word, removed from current_line together with the word separators and
// blanks after it (an LF stays). Returns the word.
text take_first_word(engine_state& state);
// Removes the leading blanks of current_line, LF excepted.
void skip_blanks(engine_state& state);

// The schema compiler's debug line: CR LF and the text, sent while debug is
// on.
void schema_debug_line(engine_state& state, text_view line);
// The text sent unchanged while debug is on.
void schema_raw_text(engine_state& state, text_view raw);

// "A number" of a schema text: an optional sign and decimal digits, nothing
// else. Values far outside the 16-bit range are clamped to +-100000, so a long
// digit string cannot overflow and still reads as out of range.
std::optional<std::int32_t> read_number(text_view word);

// The character whose code is the number written in `code_text` (0..255).
// Raises 2048 "error asc value = `" code_text "`" for anything else.
text char_of_code(text_view code_text);

}  // namespace zr
