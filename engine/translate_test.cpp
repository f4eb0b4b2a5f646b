#include "engine/translate.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "engine/test_support.h"

namespace zr {
namespace {

class TranslateReportTest : public ::testing::Test {
 protected:
  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(TranslateReportTest, EngineErrorsAreReportedAndGiveNoValue) {
  for (int number : {2048, 0, -3}) {
    out->calls.clear();
    engine_error e(number, U"TEXT IS NOT UNDERSTOOD: \r\nin \"compile\" module");
    EXPECT_EQ(report_translate_error(*state, e), std::nullopt);
    EXPECT_EQ(out->joined(), "\r\nin \"translate\" module\r\n" + std::to_string(number) +
                                 " * TEXT IS NOT UNDERSTOOD: \r\nin \"compile\" module");
  }
}

TEST_F(TranslateReportTest, OtherErrorsReachTheHostWithTheTranslateContext) {
  for (int number : {5, 2047, 2049}) {
    out->calls.clear();
    engine_error e(number, U"Invalid\r\nin \"compile\" module\r\nlocator: before dialog call");
    try {
      report_translate_error(*state, e);
      FAIL() << "no error raised for " << number;
    } catch (const zrcomp_error& raised) {
      EXPECT_EQ(raised.number(), number);
      EXPECT_EQ(raised.description(),
                "Invalid\r\nin \"compile\" module\r\nlocator: before dialog call\r\n"
                "in \"translate\" module zrcomp.translate ");
    }
    // The report went through the channel first.
    EXPECT_EQ(out->joined().rfind("\r\nin \"translate\" module\r\n" + std::to_string(number), 0),
              0u);
  }
}

TEST_F(TranslateReportTest, WithoutAnOutputObjectTheMissingObjectErrorReachesTheHost) {
  state->output.reset();
  try {
    report_translate_error(*state, engine_error(2048, U"x"));
    FAIL() << "no error raised";
  } catch (const zrcomp_error& raised) {
    EXPECT_EQ(raised.number(), error_number::missing_object);
  }
}

TEST_F(TranslateReportTest, TranslateAddsTheLineBreakToTheSource) {
  translate(*state, U"schema", U"source");
  EXPECT_EQ(state->run.source, U"source\r\n");
  EXPECT_EQ(state->run.schema_text, U"schema");
}

// A source of ASCII alone given as UTF-8 is scanned as bytes; given as
// engine text it is scanned as text. Both give the same result, the same
// console output (traces included) and the same failure location.
TEST(TranslateSourceViews, AsciiSourceAsBytesTranslatesAsText) {
  const std::string upto =
      "\\\\schema main\n-r\n  .34 `` 1 str \\upto.34 +.=\n  .39 `` 1 str "
      "\\upto.233 +.=\n  .id .t 0\n  .eot `` 1 -e\nstr\n  .id .t -1 -\n"
      "\\\\end schema\n\\\\end file\n";
  const std::string nest =
      "\\\\debug dialog=t\n\\\\schema main\n-r\n  _begin `B` 1 body\nbody\n"
      "  _x .t 0\n\\\\end schema\n\\\\end file\n";
  const std::pair<std::string, std::string> cases[] = {
      {upto, "x \"a b\" y"},       // read up to a quote
      {upto, "x 'open"},           // the delimiter is outside ASCII: never found
      {upto, "x \"open\ny"},       // not terminated
      {nest, "begin x\ny z"},      // not understood, traced
      {nest, "begin x\r\nbegin"},  // a failure at the end of the text
  };
  for (const auto& [schema, source] : cases) {
    std::shared_ptr<recording_output> bytes_out, text_out;
    auto as_bytes = make_test_state(bytes_out);
    auto as_text = make_test_state(text_out);
    const std::optional<std::string> from_bytes = translate_utf8(*as_bytes, schema, source);
    const std::optional<text> from_text = translate(*as_text, from_utf8(schema), from_utf8(source));
    ASSERT_TRUE(as_bytes->run.source_in_bytes) << source;
    EXPECT_FALSE(as_text->run.source_in_bytes) << source;
    EXPECT_EQ(from_bytes, from_text ? std::optional(to_utf8(*from_text)) : std::nullopt) << source;
    EXPECT_EQ(bytes_out->joined(), text_out->joined()) << source;
    ASSERT_EQ(as_bytes->run.failure.has_value(), as_text->run.failure.has_value()) << source;
    if (as_bytes->run.failure) {
      EXPECT_EQ(as_bytes->run.failure->line, as_text->run.failure->line) << source;
      EXPECT_EQ(as_bytes->run.failure->column, as_text->run.failure->column) << source;
    }
  }
}

// A variable that collects a long text is held as bytes while it is ASCII;
// printed whole into an open stream and into the result, with and without
// printing while processing (pieces written where they go, or a text built
// first), it gives what it gave as text, and so does one that a character
// outside ASCII turns back.
TEST(TranslateLongValues, CollectedTextsPrintAsTheyWereCollected) {
  const std::string blocks =
      "\\\\schema main\n-r\n  .init ..=a..,\"\" 0\n  .id ..&a..,tocken 0\n"
      "  .eot .\"[..a]\" 0 ..b +.two\n  .two .\"<..a..a>\" 0 ..b +.three\n"
      "  .three .\"{..b}\" 1 -e\n\\\\end schema\n\\\\end file\n";
  std::string words, collected;
  for (int k = 0; collected.size() < 3 * value_text::bytes_from; ++k) {
    const std::string word = "w" + std::to_string(k);
    words += word + (k % 10 == 9 ? "\n" : " ");
    collected += word;
  }
  for (const std::string last : {"", "\u00e9"}) {
    const std::string all = collected + last;
    for (const char* printing : {"f", "t"}) {
      std::shared_ptr<recording_output> out;
      auto state = make_test_state(out);
      const std::string schema =
          "\\\\print while processing=" + std::string(printing) + "\n" + blocks;
      const std::optional<std::string> result = translate_utf8(*state, schema, words + last);
      ASSERT_TRUE(result) << printing << last;
      EXPECT_TRUE(*result == "\n\n\n\r\n<" + all + all + ">{[" + all + "]}") << printing << last;
    }
  }
}

}  // namespace
}  // namespace zr
