#include "common/case_table.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zr {

namespace {

struct case_run {
  char32_t first;
  char32_t last;
  std::uint8_t stride;
  std::int32_t offset;
};

#include "common/case_table_data.inc"

// Runs are sorted and do not overlap: the one that may hold `c` is the first
// whose last code point is not below it.
template <std::size_t n>
char32_t mapped(const case_run (&runs)[n], char32_t c) {
  const case_run* run = std::lower_bound(std::begin(runs), std::end(runs), c,
                                         [](const case_run& r, char32_t x) { return r.last < x; });
  if (run == std::end(runs) || c < run->first || (c - run->first) % run->stride != 0) return c;
  return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->offset);
}

}  // namespace

char32_t table_lower(char32_t c) {
  return mapped(lower_runs, c);
}

char32_t table_upper(char32_t c) {
  return mapped(upper_runs, c);
}

}  // namespace zr
