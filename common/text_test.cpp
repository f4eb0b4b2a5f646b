#include "common/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace zr {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const text sample = U"a\u00e9\u20ac\U0001F600\r\n";
  EXPECT_EQ(from_utf8(to_utf8(sample)), sample);
  EXPECT_EQ(to_utf8(sample), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n");
}

// Appending keeps what the text held; ASCII at the front, at the back, alone.
TEST(Utf8, AppendsAfterWhatIsThere) {
  for (const auto& [appended, bytes] : {std::pair<text, std::string>{U"", "x"},
                                        {U"ab", "xab"},
                                        {U"\u00e9", "x\xC3\xA9"},
                                        {U"ab\u00e9c",
                                         "xab\xC3\xA9"
                                         "c"},
                                        {U"\u20acab",
                                         "x\xE2\x82\xAC"
                                         "ab"}}) {
    std::string out = "x";
    append_as_utf8(appended, out);
    EXPECT_EQ(out, bytes);
  }
}

// Short texts go a character at a time, longer ones in pieces of 256: the
// lengths around both bounds, with a character outside ASCII at the end.
TEST(Utf8, AppendsTextsOfEveryLengthAroundThePieceBounds) {
  for (std::size_t length : {15, 16, 17, 255, 256, 257, 600}) {
    for (bool wide_end : {false, true}) {
      text appended(length, U'a');
      std::string expected = "x" + std::string(length, 'a');
      if (wide_end) {
        appended.back() = U'\u00e9';
        expected.replace(expected.size() - 1, 1, "\xC3\xA9");
      }
      std::string out = "x";
      append_as_utf8(appended, out);
      EXPECT_EQ(out, expected) << length << (wide_end ? " ending outside ASCII" : "");
    }
  }
}

TEST(SameText, ComparesSizesAndEveryCharacter) {
  EXPECT_TRUE(same_text(U"", U""));
  EXPECT_TRUE(same_text(U"-end", U"-end"));
  EXPECT_TRUE(same_text(U"\U0001F600\u00e9", U"\U0001F600\u00e9"));
  EXPECT_FALSE(same_text(U"-end", U"-en"));
  EXPECT_FALSE(same_text(U"-end", U"-enD"));
  EXPECT_FALSE(same_text(U"\u00e9", U"\u00c9"));
}

TEST(Utf8, InvalidBytesAreReadAsLatin1AndNothingIsDropped) {
  struct Case {
    std::string bytes;
    text expected;
  };
  const Case cases[] = {
      {"\xE9t\xE9", U"\u00e9t\u00e9"},                    // Latin-1 text
      {"\xC3", U"\u00c3"},                                // truncated sequence
      {"\xC0\xAF", U"\u00c0\u00af"},                      // overlong
      {"\xED\xA0\x80", U"\u00ed\u00a0\u0080"},            // surrogate
      {"\xF4\x90\x80\x80", U"\u00f4\u0090\u0080\u0080"},  // beyond U+10FFFF
      {"a\xE2\x82", U"a\u00e2\u0082"},                    // cut at the end
      {std::string("\0x", 2), text(U"\0x", 2)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(from_utf8(c.bytes), c.expected);
}

TEST(LowerCase, MapsEachCodePointSimply) {
  EXPECT_EQ(lower_case(U"HeLLo_1"), U"hello_1");
  EXPECT_EQ(lower_case(U"\u00c9T\u00c9 \u0130 \u03a3"), U"\u00e9t\u00e9 i \u03c3");
  EXPECT_EQ(lower_case(U"\u00df"), U"\u00df");  // no full (multi-character) mapping
}

TEST(NumberText, WritesPlainDecimal) {
  EXPECT_EQ(number_text(-7), U"-7");
  EXPECT_EQ(number_text(32767), U"32767");
  for (long long value : {0LL, 9LL, 10LL, -1LL, -32768LL, LLONG_MAX, LLONG_MIN})
    EXPECT_EQ(number_text(value), from_utf8(std::to_string(value)));
  EXPECT_EQ(bool_text(true), U"True");
  EXPECT_EQ(bool_text(false), U"False");
}

}  // namespace
}  // namespace zr
