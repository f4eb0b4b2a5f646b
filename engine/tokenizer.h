// The tokenizer: cuts the source into events, one per call. It knows the
// separators and keywords the schema declared, the native separators (codes
// below 33) and the end of the text; every other stretch is a word.
#pragma once

#include "common/text.h"

namespace zr {

struct engine_state;

struct tokenizer_state {
  // Kind mark of the coming event: 's' separator, 'e' end of text, 'w' word,
  // 'k' keyword, 't' while searching; 0 for queued and init events.
  char32_t from_source = 0;
  // A declared separator found right after a word, delivered next.
  text pending_separator;
  // The word as the keyword look-up sees it; kept to reuse its storage.
  text lookup_word;
};

// The token type of a word: "n" when it begins with a digit, "s" with a
// double quote, "i" otherwise.
text classify_tocken(text_view tocken);

// Delivers the next event of the source into run.coming_event (and, for a
// word, run.tocken and run.ttype). Raises "TZ: separator is not found ..."
// when the text ends inside a word; every error carries the context
// "in find_tock" and the tokenizer's locator.
void find_tock(engine_state& state);

}  // namespace zr
