#include "engine/translate.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zr
