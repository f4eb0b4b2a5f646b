#include "common/case_table.h"

#include <unicode/uchar.h>

#include <gtest/gtest.h>

namespace zr {
namespace {

// The generated table must case every code point as ICU does, so the
// WebAssembly build translates exactly as the native one.
TEST(CaseTable, AgreesWithIcuOnEveryCodePoint) {
  int lower_differences = 0;
  int upper_differences = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const auto icu_lower = static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
    const auto icu_upper = static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
    if (table_lower(c) != icu_lower && ++lower_differences <= 10)
      ADD_FAILURE() << "lower U+" << std::hex << static_cast<unsigned>(c);
    if (table_upper(c) != icu_upper && ++upper_differences <= 10)
      ADD_FAILURE() << "upper U+" << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_EQ(lower_differences, 0);
  EXPECT_EQ(upper_differences, 0);
}

TEST(CaseTable, LeavesCodePointsBeyondUnicodeAlone) {
  EXPECT_EQ(table_lower(0x110000), char32_t{0x110000});
  EXPECT_EQ(table_upper(0xFFFFFFFF), char32_t{0xFFFFFFFF});
}

}  // namespace
}  // namespace zr
