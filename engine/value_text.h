// A value of the variable table. It is engine text, except a long value
// that grew by appends and is ASCII alone: that one is held as its bytes, a
// quarter of the memory. A translation that collects a whole program in
// variables and streams spends most of its time on fresh memory for them;
// appending to such a value and printing it go through the bytes, and
// whatever reads the value as text turns it back into engine text first.
// Which form a value has is never seen from outside: every reading gives the
// same characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/text.h"

namespace zr {

class value_text {
 public:
  // A value held as text that grows to this many characters by an append
  // is held as bytes from then on, if it is ASCII. One that is turned back
  // stays text until it grows past the bound again, so a schema that reads
  // a long value at every step does not convert it at every step.
  static constexpr std::size_t bytes_from = std::size_t{1} << 16;

  // The value as engine text; a value held as bytes is turned back first.
  text& wide();
  std::size_t size() const { return in_bytes_ ? bytes_.size() : wide_.size(); }
  bool empty() const { return size() == 0; }
  // The memory the value's characters take in the form it is held in.
  std::size_t held_bytes() const { return wide_.size() * sizeof(char32_t) + bytes_.size(); }
  // Calls `read` with the value as it is held: a text_view, or a
  // std::string_view of its ASCII bytes.
  template <class Read>
  decltype(auto) read(Read read) const {
    if (in_bytes_) return read(std::string_view(bytes_));
    return read(text_view(wide_));
  }

  void assign(text_view value);
  // Whether the value is held as text and reads `value`: then assigning it
  // would change nothing.
  bool holds(text_view value) const { return !in_bytes_ && same_text(wide_, value); }
  void clear() { assign(text_view()); }
  // Appends in amortised constant time. `more` may be a view into this
  // value itself. A text that stays short (the common case: a print into a
  // stream) is appended inline.
  void append(text_view more) {
    if (!in_bytes_ && wide_.size() + more.size() < bytes_from)
      wide_.append(more);
    else
      append_long(more);
  }
  // Appends ASCII bytes (a piece of another value held as bytes).
  void append(std::string_view ascii);

 private:
  // append for a value held as bytes, or one that grows to bytes_from.
  void append_long(text_view more);
  void to_bytes();

  text wide_;
  std::string bytes_;
  bool in_bytes_ = false;
};

}  // namespace zr
