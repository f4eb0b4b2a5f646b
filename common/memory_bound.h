// A memory bound given in megabytes, as the limits take it, in bytes.
#pragma once

#include <cstddef>

namespace zr {

// `megabytes` in bytes; none (0 or less) or one too large to count is the
// largest count there is.
std::size_t memory_bound_bytes(long long megabytes);

}  // namespace zr
