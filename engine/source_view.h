// The source the dialog scans, seen through one of two views: engine text,
// or the bytes of a source that is ASCII alone (one byte a character, so
// positions, lengths and characters are the same). The tokenizer and the
// commands that read the source are written once over either view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/text.h"
#include "engine/name_table.h"
#include "engine/run.h"

namespace zr {

// Calls `read` with the source being scanned: its bytes when the source is
// held as bytes, the text being scanned otherwise.
template <class Read>
decltype(auto) read_source(const run_state& run, Read read) {
  if (run.source_in_bytes) return read(run.scanned_bytes);
  return read(text_view(run.source_text));
}

inline char32_t code_at(text_view source, std::size_t at) {
  return source[at];
}
inline char32_t code_at(std::string_view source, std::size_t at) {
  return static_cast<unsigned char>(source[at]);
}

// `part` of a view as engine text.
template <class View>
text text_of(View part) {
  return text(part.begin(), part.end());
}

// Makes `to` a copy of `part` in its own room: no fresh storage for a
// token that fits where the last one stood.
inline void assign_text(text& to, text_view part) {
  to.assign(part);
}
inline void assign_text(text& to, std::string_view part) {
  to.resize(part.size());
  for (std::size_t k = 0; k < part.size(); ++k)
    to[k] = static_cast<unsigned char>(part[k]);
}

// Makes `to` a copy of `part` in its own room, in lower case when `fold`;
// returns the name_hash of what it wrote.
template <class View>
std::uint64_t assign_hashed_text(text& to, View part, bool fold) {
  name_hash hash;
  to.resize(part.size());
  for (std::size_t k = 0; k < part.size(); ++k) {
    const char32_t c = fold ? lower_char(code_at(part, k)) : code_at(part, k);
    to[k] = c;
    hash.add(c);
  }
  return hash.value;
}

// Where `wanted` first stands in `source` at or after `from`; npos when
// nowhere. Text outside ASCII never stands in a source held as bytes.
inline std::size_t find_in(text_view source, text_view wanted, std::size_t from) {
  return source.find(wanted, from);
}
inline std::size_t find_in(std::string_view source, text_view wanted, std::size_t from) {
  if (!is_ascii(wanted)) return std::string_view::npos;
  return source.find(std::string(wanted.begin(), wanted.end()), from);
}

}  // namespace zr
