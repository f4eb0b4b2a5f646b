#include "engine/schema_lines.h"

#include <gtest/gtest.h>

#include "engine/schema_test_support.h"

namespace zr {
namespace {

class SchemaLines : public ::testing::Test {
 protected:
  void start(text_view source) {
    state = fresh_schema_state(output, source);
    peek_line(*state);
  }
  text& line() { return state->reader.current_line; }
  text source() { return text(schema_rest(*state)); }

  std::shared_ptr<recording_output> output;
  std::unique_ptr<engine_state> state;
};

TEST_F(SchemaLines, LinesEndWithTheirLineFeedAndTheTextRunsOutCleanly) {
  start(U"one\r\ntwo");
  EXPECT_EQ(line(), U"one\r\n");  // the CR stays, the LF ends the line
  next_line(*state);
  EXPECT_EQ(line(), U"two");
  EXPECT_EQ(source(), U"two");
  next_line(*state);
  EXPECT_EQ(line(), U"");
  EXPECT_EQ(source(), U"");
  next_line(*state);  // nothing left to drop
  EXPECT_EQ(source(), U"");
}

TEST_F(SchemaLines, TakeLineDropsTheWholeLineEvenWhenWordsWereTaken) {
  start(U"a b\nc\n");
  take_first_word(*state);
  take_line(*state);
  EXPECT_EQ(source(), U"c\n");
}

TEST_F(SchemaLines, WordsEndAtBlanksAndTheSeparatorButLeadingBlanksAreKept) {
  start(U"  main,inner\n");
  EXPECT_EQ(first_word(*state), U"");
  EXPECT_EQ(take_first_word(*state), U"");
  EXPECT_EQ(line(), U"main,inner\n");
  EXPECT_EQ(take_first_word(*state), U"main");
  EXPECT_EQ(line(), U"inner\n");
  EXPECT_EQ(take_first_word(*state), U"inner");
  EXPECT_EQ(line(), U"\n");  // the LF is never taken with a word
}

TEST_F(SchemaLines, TakingAWordTakesTheBlanksAndCarriageReturnAfterIt) {
  start(U"x \t,\r\n");
  state->reader.word_separator = U' ';
  EXPECT_EQ(take_first_word(*state), U"x");
  EXPECT_EQ(line(), U",\r\n");  // a comma is no separator inside event lines
  start(U"x \t\r\n");
  take_first_word(*state);
  EXPECT_EQ(line(), U"\n");
}

TEST_F(SchemaLines, SkipBlanksStopsBeforeTheLineFeed) {
  start(U" \t\r\n");
  skip_blanks(*state);
  EXPECT_EQ(line(), U"\n");
}

TEST(SchemaNumbers, OnlyASignAndDecimalDigitsMakeANumber) {
  struct row {
    text word;
    std::optional<std::int32_t> value;
  };
  const row rows[] = {{U"65", 65},
                      {U"+7", 7},
                      {U"-12", -12},
                      {U"007", 7},
                      {U"", std::nullopt},
                      {U"-", std::nullopt},
                      {U"1.5", std::nullopt},
                      {U"1e3", std::nullopt},
                      {U" 1", std::nullopt},
                      {U"0x10", std::nullopt},
                      {U"99999999999999999999", 100000}};
  for (const row& r : rows)
    EXPECT_EQ(read_number(r.word), r.value) << to_utf8(r.word);
}

TEST(SchemaNumbers, CharacterCodesRunFrom0To255) {
  EXPECT_EQ(char_of_code(U"65"), U"A");
  EXPECT_EQ(char_of_code(U"0"), text(1, U'\0'));
  EXPECT_EQ(char_of_code(U"255"), U"\u00ff");
  for (text bad : {U"256", U"-1", U"x", U"", U"99999999999999999999"}) {
    try {
      char_of_code(bad);
      ADD_FAILURE() << "no error for " << to_utf8(bad);
    } catch (const engine_error& e) {
      EXPECT_EQ(e.number(), error_number::engine);
      EXPECT_EQ(e.description(), U"error asc value = `" + bad + U"`");
    }
  }
}

TEST(SchemaDebugText, DebugLinesBeginWithALineBreakAndNeedDebugOn) {
  std::shared_ptr<recording_output> output;
  auto state = make_test_state(output);
  schema_debug_line(*state, U"hidden");
  schema_raw_text(*state, U"hidden");
  state->flags.debug_on = true;
  schema_debug_line(*state, U"shown");
  schema_raw_text(*state, U"raw");
  EXPECT_EQ(output->joined(), "\r\nshownraw");
}

}  // namespace
}  // namespace zr
