#include "common/easylife.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace zr {
namespace {

text description_of(const std::function<void()>& action) {
  try {
    action();
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::engine);
    return e.description();
  }
  ADD_FAILURE() << "no error raised";
  return U"";
}

TEST(QuotedText, ReadsUpToTheClosingCharacterWithDoubledOnesAsOne) {
  struct Case {
    text source;
    char32_t closing;
    text expected;
    std::size_t end;
  };
  const Case cases[] = {
      {U"'it''s'xy", U'\'', U"it's", 7}, {U"\"a,b\"", U'"', U"a,b", 5}, {U"\"\"", U'"', U"", 2},
      {U"\"\"\"\"", U'"', U"\"", 4},     {U"abc'", U'\'', U"", 0},      {U"", U'\'', U"", 0},
  };
  for (const Case& c : cases) {
    std::size_t end = 99;
    EXPECT_EQ(quoted_text(c.source, c.closing, end), c.expected);
    EXPECT_EQ(end, c.end);
  }
}

TEST(QuotedText, UnclosedTextFailsQuotingItsFirstFiveCharacters) {
  std::size_t end = 0;
  EXPECT_EQ(description_of([&] { quoted_text(U"'abcdefg", U'\'', end); }),
            U"closing char ='= is not found; text=`'abcd` ... ");
  // Only doubled closing characters after the first one: no end, no hang.
  EXPECT_EQ(description_of([&] { quoted_text(U"`a``b``", U'`', end); }),
            U"closing char =`= is not found; text=``a``b` ... ");
}

TEST(BoundedIncrement, StopsAtTheLimitAndKeepsTheCounter) {
  std::int16_t counter = 19;
  bounded_increment(counter, 20, U"increase array index for schemas");
  EXPECT_EQ(counter, 20);
  EXPECT_EQ(
      description_of([&] { bounded_increment(counter, 20, U"increase array index for schemas"); }),
      U"increase array index for schemas\r\nsubscript is over 20 ... ");
  EXPECT_EQ(counter, 20);
}

TEST(BoundedIncrement, WorksAtTheSixteenBitTop) {
  std::int16_t counter = 32766;
  bounded_increment(counter, 32767, U"c");
  EXPECT_EQ(counter, 32767);
  EXPECT_EQ(description_of([&] { bounded_increment(counter, 32767, U"c"); }),
            U"c\r\nsubscript is over 32767 ... ");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlapOrRescan) {
  struct Case {
    text source, find, replacement, expected;
  };
  const Case cases[] = {
      {U"____", U"_", U" ", U"    "},
      {U"aabb", U"ab", U"", U"ab"},
      {U"aaa", U"aa", U"b", U"ba"},
      {U"abc", U"b", U"bb", U"abbc"},  // replaced text is not scanned again
      {U"", U"a", U"b", U""},
      {U"abc", U"", U"x", U"abc"},  // empty find: unchanged, and it ends
      {U"x..\\ry", U"..\\r", U"\r", U"x\ry"},
      {U"xaby", U"ab", U"-", U"x-y"},  // the text after the last occurrence stays
      {U"abab", U"ab", U"", U""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(replace_all(c.source, c.find, c.replacement), c.expected);
}

TEST(ReplaceAll, HandlesTextsBeyondSixteenBitLengths) {
  text long_text(100000, U'a');
  EXPECT_EQ(replace_all(long_text, U"a", U"").size(), 0u);
}

TEST(SplitFirst, CutsAtTheFirstSeparator) {
  text rest;
  EXPECT_EQ(split_first(U"a b c", U' ', rest), U"a");
  EXPECT_EQ(rest, U"b c");
  EXPECT_EQ(split_first(U"abc", U' ', rest), U"");
  EXPECT_EQ(rest, U"abc");
  EXPECT_EQ(split_first(U"done\n", U'\n', rest), U"done");
  EXPECT_EQ(rest, U"");
}

TEST(RealText, WritesTheShortestFormWithExponentOutsideTheRange) {
  struct Case {
    double value;
    int digits;
    text expected;
  };
  const Case cases[] = {
      {3.5, 15, U"3.5"},
      {2, 15, U"2"},
      {1.0 / 3, 15, U"0.333333333333333"},
      {1.0 / 32767, 15, U"3.05185094759972E-05"},
      {0.00001, 15, U"1E-05"},
      {12345678, 7, U"1.234568E+07"},
      {1e15, 15, U"1E+15"},
      {999999999999999, 15, U"999999999999999"},
      {-0.0, 15, U"0"},
      {-2.5, 7, U"-2.5"},
      {0.0001, 15, U"0.0001"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(real_text(c.value, c.digits), c.expected) << c.value;
}

TEST(TimeStamp, DropsThreeCharactersAndFormatsTwoDecimals) {
  struct Case {
    double seconds;
    text expected;
  };
  const Case cases[] = {
      {45296.78, U"96.78"},                      // five digits and two decimals
      {45296.5, U"96.50"},                       // one decimal gets a trailing zero
      {45296, U"96.00"},    {123.45, U"00.45"},  // three digits: only the fraction is left
      {1234.5, U"04.50"},   {4529.678, U"09.68"},
      {5.2, U""},  // nothing left after three characters
  };
  for (const Case& c : cases)
    EXPECT_EQ(time_stamp(c.seconds), c.expected) << c.seconds;
}

TEST(TimeStamp, OfNowHasTheClockForm) {
  text now = time_stamp();
  ASSERT_EQ(now.size(), 5u);
  EXPECT_EQ(now[2], U'.');
}

TEST(StrippedResult, DropsOnlyAWholeEmptyHeader) {
  struct row {
    std::string_view result;
    std::string_view shown;
  };
  const row rows[] = {
      {"\n\n\n\r\nHi", "Hi"},
      {"\n\n\n\r\n", ""},
      {"\n\n\n\r\n\r\nHi", "\r\nHi"},
      {"\n\n\nHi", "\n\n\nHi"},
      {"\n\n\n\r", "\n\n\n\r"},
      {"go.htm\n\n\n\r\nHi", "go.htm\n\n\n\r\nHi"},
      {"", ""},
  };
  for (const row& r : rows)
    EXPECT_EQ(stripped_result(r.result), r.shown) << r.result;
}

}  // namespace
}  // namespace zr
