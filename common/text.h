// Engine text: one element per Unicode code point, so positions, lengths and
// character codes count code points, never bytes.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace zr {

using text = std::u32string;
using text_view = std::u32string_view;

// Decodes UTF-8. A byte that does not start a well-formed sequence is read as
// the Latin-1 character of the same code, so no byte is ever dropped.
text from_utf8(std::string_view bytes);
// from_utf8, appended to `out`.
void append_utf8(std::string_view bytes, text& out);

// Whether two texts are the same: their sizes, then their characters as
// bytes in one comparison. The standard comparison of char32_t texts orders
// them character by character, two branches a character, and the dialog
// tests event names this way at every step.
inline bool same_text(text_view a, text_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char32_t)) == 0;
}

// Encodes as UTF-8. Code points that UTF-8 cannot carry (surrogates, values
// above U+10FFFF) are written with the generalised three- or four-byte form.
std::string to_utf8(text_view characters);
// to_utf8, appended to `out`.
void append_as_utf8(text_view characters, std::string& out);

// Whether every byte, or every character, is ASCII (below 0x80): such bytes
// are their own UTF-8 and decode to characters of the same codes.
bool is_ascii(std::string_view bytes);
bool is_ascii(text_view characters);

// Simple per-code-point lower-case mapping of Unicode, for code points
// outside ASCII.
char32_t lower_non_ascii(char32_t c);
// Simple per-code-point lower-case mapping of Unicode; ASCII without a table
// look-up.
inline char32_t lower_char(char32_t c) {
  if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
  return lower_non_ascii(c);
}
text lower_case(text_view characters);
// Simple per-code-point upper-case mapping of Unicode.
char32_t upper_char(char32_t c);
// lower_case, in the text's own storage.
void lower_in_place(text& characters);

// Decimal text of an integer, no blanks: "-7", "12".
text number_text(long long value);
// Room for the decimal text of any long long.
using number_room = std::array<char32_t, 20>;
// number_text written into `room`, without a text of its own; the view
// points into `room`. Inline: the built-in variables are written out with it
// at every operator statement.
inline text_view number_digits(long long value, number_room& room) {
  // The magnitude as unsigned: the most negative value has no positive twin.
  unsigned long long magnitude = static_cast<unsigned long long>(value);
  if (value < 0) magnitude = 0 - magnitude;
  std::size_t first = room.size();
  do {
    room[--first] = U'0' + static_cast<char32_t>(magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) room[--first] = U'-';
  return text_view(room.data() + first, room.size() - first);
}

// "True" or "False", as the debug listings write booleans.
text bool_text(bool value);

// The character whose code is `code` as a one-character text.
inline text char_text(char32_t code) {
  return text(1, code);
}

}  // namespace zr
