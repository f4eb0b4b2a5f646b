#include "cli/options.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

TEST(CliOptions, ParsesFilesAndSwitches) {
  std::string error;
  auto options = parse_options({"--raw", "-o", "out.txt", "s.txt", "-", "--debug"}, error);
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->raw);
  EXPECT_TRUE(options->debug);
  EXPECT_FALSE(options->steps);
  EXPECT_EQ(options->output_file, "out.txt");
  EXPECT_EQ(options->schema_file, "s.txt");
  EXPECT_EQ(options->source_file, "-");
}

TEST(CliOptions, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"s.txt"}, "expected SCHEMA_FILE and SOURCE_FILE"},
      {{"a", "b", "c"}, "expected SCHEMA_FILE and SOURCE_FILE"},
      {{"-", "-"}, "only one of SCHEMA_FILE and SOURCE_FILE can be standard input"},
      {{"a", "b", "-o"}, "-o needs a file name"},
      {{"--fast", "a", "b"}, "unknown option --fast"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(parse_options(c.args, error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(CliOptions, DirectivesForDebugAndStepsComeFirst) {
  cli_options options;
  EXPECT_EQ(directive_prefix(options), "");
  options.debug = true;
  options.steps = true;
  EXPECT_EQ(directive_prefix(options),
            "\\\\debug schema=t\n\\\\debug dialog=t\n\\\\steps in dialog=t\n");
  EXPECT_EQ(prefix_lines(options), 3);
}

}  // namespace
}  // namespace zr
