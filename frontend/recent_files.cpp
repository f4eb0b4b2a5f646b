#include "frontend/recent_files.h"

#include <algorithm>

namespace zr {

std::vector<file_pair> parse_recent(text_view contents) {
  std::vector<file_pair> pairs;
  std::size_t start = 0;
  while (start < contents.size() && pairs.size() < recent_limit) {
    std::size_t end = contents.find(U'\n', start);
    if (end == text_view::npos) end = contents.size();
    text_view line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == U'\r') line.remove_suffix(1);
    std::size_t tab = line.find(U'\t');
    if (tab != text_view::npos && tab > 0 && tab + 1 < line.size())
      pairs.push_back({text(line.substr(0, tab)), text(line.substr(tab + 1))});
    start = end + 1;
  }
  return pairs;
}

text recent_text(const std::vector<file_pair>& pairs) {
  text contents;
  for (const file_pair& pair : pairs)
    contents += pair.schema + U"\t" + pair.source + U"\n";
  return contents;
}

std::vector<file_pair> with_recent(std::vector<file_pair> pairs, const file_pair& pair) {
  std::erase(pairs, pair);
  pairs.insert(pairs.begin(), pair);
  if (pairs.size() > recent_limit) pairs.resize(recent_limit);
  return pairs;
}

text recent_caption(const file_pair& pair) {
  return pair.schema + U"  +  " + pair.source;
}

}  // namespace zr
