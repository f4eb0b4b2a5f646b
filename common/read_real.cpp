#include "common/read_real.h"

#include <cmath>
#include <cstdlib>
#include <string>

#ifndef __EMSCRIPTEN__
#include <charconv>
#endif

namespace zr {

std::errc read_real(std::string_view digits, double& value) {
#ifdef __EMSCRIPTEN__
  return read_real_with_strtod(digits, value);
#else
  return std::from_chars(digits.data(), digits.data() + digits.size(), value).ec;
#endif
}

std::errc read_real_with_strtod(std::string_view digits, double& value) {
  const std::string text(digits);
  const double read = std::strtod(text.c_str(), nullptr);
  // from_chars calls a result out of range when it is infinite, or 0 from a
  // mantissa that is not; a tiny result that a double still holds is read.
  const std::string_view mantissa = digits.substr(0, digits.find_first_of("eE"));
  const bool zero_mantissa = mantissa.find_first_of("123456789") == std::string_view::npos;
  if (std::isinf(read) || (read == 0 && !zero_mantissa)) return std::errc::result_out_of_range;
  value = read;
  return std::errc();
}

}  // namespace zr
