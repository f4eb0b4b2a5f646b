// The tokenizer: cuts the source into events, one per call. It knows the
// separators and keywords the schema declared, the native separators (codes
// below 33) and the end of the text; every other stretch is a word.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct engine_state;

// Where the coming event came from.
enum class token_kind : std::uint8_t {
  queued,       // the events queue, or the init event
  searching,    // the tokenizer is looking for the next event
  separator,    // a declared separator
  end_of_text,  // the end of text event
  word,         // a word that is no keyword: the identifier event
  keyword,      // a word the schema declared as a keyword
};

// The type of the current token, as the built-in variable "ttype" holds it.
enum class token_type : std::uint8_t {
  none,        // "": no token type (the init event, a statement stored "")
  number,      // "n": the word begins with a digit
  string,      // "s": the word begins with a double quote, or upto read it
  identifier,  // "i": any other word
  unknown,     // "?": a repeated event whose token had no type
  other,       // a text a statement stored that names no type (held apart)
};

// The text of `type` as "ttype" shows it; `other` shows `stored`.
text_view token_type_text(token_type type, text_view stored);
// The type a text names; `other` for a text that names none.
token_type token_type_of(text_view type_text);

struct separator_entry;

struct tokenizer_state {
  token_kind from_source = token_kind::queued;
  // A declared separator found right after a word, delivered next: its entry
  // in the schema's look-up, which holds the name it is delivered under and
  // its candidates for as long as the dialog runs.
  const separator_entry* pending_separator = nullptr;
  // The word as the keyword look-up sees it; kept to reuse its storage.
  text lookup_word;
};

// The token type of a word: a number when it begins with a digit, a string
// with a double quote, an identifier otherwise.
token_type classify_tocken(text_view tocken);

// Delivers the next event of the source into run.coming_event (and, for a
// word, run.tocken and run.ttype). Raises "TZ: separator is not found ..."
// when the text ends inside a word; every error carries the context
// "in find_tock" and the tokenizer's locator.
void find_tock(engine_state& state);

}  // namespace zr
