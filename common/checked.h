// Checked access to the fixed tables: an index outside a table raises the
// index-range error instead of touching memory outside it.
#pragma once

#include <cstddef>

#include "common/errors.h"

namespace zr {

template <class Table>
auto& checked_at(Table& table, long long index) {
  if (index < 0 || index >= static_cast<long long>(table.size()))
    raise_platform_error(error_number::index_range);
  return table[static_cast<std::size_t>(index)];
}

// `value` as a 16-bit count: outside -32768..32767 it raises the overflow
// error, as the 16-bit counts and indices of the system do.
inline long long checked_int16(long long value) {
  if (value < -32768 || value > 32767) raise_platform_error(error_number::overflow);
  return value;
}

}  // namespace zr
