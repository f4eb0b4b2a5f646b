#include "common/read_real.h"

#include <charconv>

#include <gtest/gtest.h>

namespace zr {
namespace {

// The WebAssembly build reads reals with strtod: it must read every number
// the engine hands it exactly as std::from_chars does, out-of-range verdicts
// included.
TEST(ReadReal, StrtodAgreesWithFromChars) {
  const char* const cases[] = {
      "0",
      "0.0",
      "12.5",
      "0.1",
      "3.14159265358979323846",
      "1e10",
      "1E-5",
      "1.5e+3",
      ".5",
      "5.",
      "123456789012345678901234567890",
      "1e308",
      "1.8e308",
      "1e309",
      "1e-300",
      "4.9e-324",
      "2e-324",
      "1e-400",
      "0e-999",
      "0.0e999",
      "00012.50",
      "9007199254740993",
      "2.2250738585072011e-308",
  };
  for (const char* digits : cases) {
    const std::string_view text(digits);
    double expected = -1;
    double actual = -1;
    const std::errc expected_error =
        std::from_chars(text.data(), text.data() + text.size(), expected).ec;
    EXPECT_EQ(read_real_with_strtod(text, actual), expected_error) << digits;
    if (expected_error == std::errc()) {
      EXPECT_EQ(actual, expected) << digits;
    }
  }
}

}  // namespace
}  // namespace zr
