#include "common/memory_bound.h"

#include <cstdint>

namespace zr {

std::size_t memory_bound_bytes(long long megabytes) {
  constexpr long long largest = static_cast<long long>(SIZE_MAX >> 20);
  if (megabytes <= 0 || megabytes > largest) return SIZE_MAX;
  return static_cast<std::size_t>(megabytes) << 20;
}

}  // namespace zr
