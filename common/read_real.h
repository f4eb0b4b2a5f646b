// Reading a decimal real from ASCII digits, whatever the process locale says
// about decimal points. The WebAssembly build's C++ library has no
// std::from_chars for reals; it reads them with the C library instead.
#pragma once

#include <string_view>
#include <system_error>

namespace zr {

// Reads `digits` (an unsigned decimal such as "12.5e-3", checked beforehand)
// into `value`. Returns std::errc::result_out_of_range when the number is too
// large for a double or so small that it reads as 0, as std::from_chars does.
std::errc read_real(std::string_view digits, double& value);

// read_real through strtod (in the C locale the engine never changes), for
// the library without std::from_chars; tested against it where both exist.
std::errc read_real_with_strtod(std::string_view digits, double& value);

}  // namespace zr
