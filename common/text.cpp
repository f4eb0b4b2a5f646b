#include "common/text.h"

#ifdef ZR_CASE_TABLE
#include "common/case_table.h"
#else
#include <unicode/uchar.h>
#endif

#include <algorithm>

#include "common/growth.h"

namespace zr {

namespace {

// Length of the UTF-8 sequence that `lead` starts, 0 when it cannot start one.
int sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool is_continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Decodes one well-formed sequence at `bytes[i]` into `out`; false when the
// bytes there are not one (overlong, surrogate, truncated, out of range).
bool decode_one(std::string_view bytes, size_t i, int length, char32_t& out) {
  if (i + length > bytes.size()) return false;
  auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
  for (int k = 1; k < length; ++k)
    if (!is_continuation(byte(k))) return false;
  char32_t c;
  switch (length) {
    case 1:
      out = byte(0);
      return true;
    case 2:
      out = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
      return true;
    case 3:
      c = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
      if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return false;
      out = c;
      return true;
    default:
      c = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
          (byte(3) & 0x3F);
      if (c < 0x10000 || c > 0x10FFFF) return false;
      out = c;
      return true;
  }
}

}  // namespace

text from_utf8(std::string_view bytes) {
  text out;
  out.reserve(bytes.size());
  append_utf8(bytes, out);
  return out;
}

// Writes through a pointer into room made once (a byte never gives more than
// one character): a push per character costs more than the decoding.
void append_utf8(std::string_view bytes, text& out) {
  const size_t start = out.size();
  charge_growth((start + bytes.size()) * sizeof(char32_t), bytes.size() * sizeof(char32_t));
  reserve_growing(out, start + bytes.size());
  out.resize(start + bytes.size());
  char32_t* write = out.data() + start;
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      *write++ = lead;
      ++i;
      continue;
    }
    const int length = sequence_length(lead);
    char32_t c;
    if (length > 0 && decode_one(bytes, i, length, c)) {
      *write++ = c;
      i += length;
    } else {
      *write++ = lead;  // Latin-1 reading of a stray byte
      ++i;
    }
  }
  out.resize(static_cast<size_t>(write - out.data()));
}

std::string to_utf8(text_view characters) {
  std::string out;
  out.reserve(characters.size());
  append_as_utf8(characters, out);
  return out;
}

namespace {

size_t utf8_length(char32_t c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// Measures first, then writes through a pointer into room made once.
void append_non_ascii_as_utf8(text_view characters, std::string& out) {
  size_t length = 0;
  for (char32_t c : characters)
    length += utf8_length(c);
  const size_t start = out.size();
  charge_growth(start + length, length);
  reserve_growing(out, start + length);
  out.resize(start + length);
  char* write = out.data() + start;
  for (char32_t c : characters) {
    if (c < 0x80) {
      *write++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *write++ = static_cast<char>(0xC0 | (c >> 6));
      *write++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *write++ = static_cast<char>(0xE0 | (c >> 12));
      *write++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *write++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *write++ = static_cast<char>(0xF0 | ((c >> 18) & 0x07));
      *write++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *write++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *write++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

// A text this short (a word, a keyword's print) is narrowed one character at
// a time, leaving at the first that is not ASCII: the vectorised pass of the
// longer pieces costs more than it saves on a few characters.
constexpr size_t short_text_size = 16;

void append_short_as_utf8(text_view characters, std::string& out) {
  char piece[short_text_size];
  const size_t n = characters.size();
  for (size_t k = 0; k < n; ++k) {
    if (characters[k] >= 0x80) {
      append_non_ascii_as_utf8(characters, out);
      return;
    }
    piece[k] = static_cast<char>(characters[k]);
  }
  out.append(piece, n);
}

}  // namespace

// The text is taken in pieces: a piece of ASCII alone (usually the whole
// text) is narrowed into a buffer on the stack in one pass without a branch
// per character and appended at once; from the first piece that is not, the
// rest is measured and encoded.
void append_as_utf8(text_view characters, std::string& out) {
  const size_t start = out.size();
  // Most texts printed are short: room is asked for only when it lacks.
  if (out.capacity() - start < characters.size()) reserve_growing(out, start + characters.size());
  if (characters.size() <= short_text_size) {
    append_short_as_utf8(characters, out);
    return;
  }
  constexpr size_t piece_size = 256;
  char piece[piece_size];
  size_t done = 0;
  while (done < characters.size()) {
    const size_t n = std::min(characters.size() - done, piece_size);
    char32_t all = 0;
    for (size_t k = 0; k < n; ++k) {
      all |= characters[done + k];
      piece[k] = static_cast<char>(characters[done + k]);
    }
    if (all >= 0x80) break;
    out.append(piece, n);
    done += n;
  }
  if (done < characters.size()) append_non_ascii_as_utf8(characters.substr(done), out);
}

// Without an early exit, so that the loop is one vectorised pass: a whole
// source is tested before every run.
bool is_ascii(std::string_view bytes) {
  unsigned char all = 0;
  for (char c : bytes)
    all |= static_cast<unsigned char>(c);
  return all < 0x80;
}

// Without an early exit, so that the loop is one vectorised pass.
bool is_ascii(text_view characters) {
  char32_t all = 0;
  for (char32_t c : characters)
    all |= c;
  return all < 0x80;
}

char32_t lower_non_ascii(char32_t c) {
  if (c > 0x10FFFF) return c;
#ifdef ZR_CASE_TABLE
  return table_lower(c);
#else
  return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
#endif
}

char32_t upper_char(char32_t c) {
  if (c > 0x10FFFF) return c;
#ifdef ZR_CASE_TABLE
  return table_upper(c);
#else
  return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
#endif
}

text lower_case(text_view characters) {
  text out(characters);
  lower_in_place(out);
  return out;
}

void lower_in_place(text& characters) {
  for (char32_t& c : characters)
    c = lower_char(c);
}

text number_text(long long value) {
  number_room room;
  return text(number_digits(value, room));
}

text bool_text(bool value) {
  return value ? U"True" : U"False";
}

}  // namespace zr
