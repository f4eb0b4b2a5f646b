#include "common/text.h"

#include <unicode/uchar.h>

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

void append_utf8(std::string_view bytes, text& out) {
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int length = sequence_length(lead);
    char32_t c;
    if (length > 0 && decode_one(bytes, i, length, c)) {
      out.push_back(c);
      i += length;
    } else {
      out.push_back(lead);  // Latin-1 reading of a stray byte
      ++i;
    }
  }
}

std::string to_utf8(text_view characters) {
  std::string out;
  out.reserve(characters.size());
  append_as_utf8(characters, out);
  return out;
}

void append_as_utf8(text_view characters, std::string& out) {
  for (char32_t c : characters) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

char32_t lower_non_ascii(char32_t c) {
  if (c > 0x10FFFF) return c;
  return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
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
  std::string digits = std::to_string(value);
  return text(digits.begin(), digits.end());
}

text bool_text(bool value) {
  return value ? U"True" : U"False";
}

}  // namespace zr
