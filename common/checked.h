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

}  // namespace zr
