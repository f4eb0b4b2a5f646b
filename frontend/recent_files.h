// The last schema and source pairs loaded, newest first, kept in
// "recent.txt" in the application directory (one pair a line, the two names
// separated by a tab) and offered in the window's recent menu.
#pragma once

#include <cstddef>
#include <vector>

#include "common/text.h"

namespace zr {

struct file_pair {
  text schema;
  text source;
  friend bool operator==(const file_pair&, const file_pair&) = default;
};

inline constexpr std::size_t recent_limit = 8;

// The pairs of a "recent.txt" text; lines that hold no pair are skipped.
std::vector<file_pair> parse_recent(text_view contents);
// The text of "recent.txt" for the pairs.
text recent_text(const std::vector<file_pair>& pairs);
// The list with `pair` first, without its older entry, at most recent_limit.
std::vector<file_pair> with_recent(std::vector<file_pair> pairs, const file_pair& pair);
// How the menu shows a pair.
text recent_caption(const file_pair& pair);

}  // namespace zr
