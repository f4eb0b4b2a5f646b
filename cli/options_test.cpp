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
  EXPECT_TRUE(options->console);  // --debug implies it
  EXPECT_FALSE(options->steps);
  EXPECT_EQ(options->output_file, "out.txt");
  EXPECT_EQ(options->schema_file, "s.txt");
  EXPECT_EQ(options->source_file, "-");
  EXPECT_FALSE(options->max_memory_mb);  // the engine's default
}

TEST(CliOptions, ValuesLimitsAndBatch) {
  std::string error;
  auto options = parse_options({"--timeout", "2.5", "--max-steps=100", "--max-memory", "0", "-v",
                                "--jobs", "4", "--out-dir", "d", "s", "a", "--", "-b"},
                               error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->timeout_seconds, 2.5);
  EXPECT_EQ(options->max_steps, 100);
  EXPECT_EQ(options->max_memory_mb, 0);
  EXPECT_TRUE(options->console);
  EXPECT_EQ(options->jobs, 4);
  EXPECT_EQ(options->out_dir, "d");
  EXPECT_EQ(options->sources, (std::vector<std::string>{"a", "-b"}));
  // Help and version win over everything else on the line.
  EXPECT_TRUE(parse_options({"s", "--help", "--bad"}, error)->help);
  EXPECT_TRUE(parse_options({"--version"}, error)->version);
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
      {{"a", "b", "--timeout"}, "--timeout needs a number of seconds"},
      {{"--fast", "a", "b"}, "unknown option --fast"},
      {{"-x", "a", "b"}, "unknown option -x"},
      {{"--raw=1", "a", "b"}, "--raw takes no value"},
      {{"--timeout", "-1", "a", "b"}, "--timeout needs a number of seconds, not '-1'"},
      {{"--timeout", "nan", "a", "b"}, "--timeout needs a number of seconds, not 'nan'"},
      {{"--max-steps", "1e3", "a", "b"}, "--max-steps needs a whole number, not '1e3'"},
      {{"--max-memory", "99999999999", "a", "b"},
       "--max-memory needs a whole number, not '99999999999'"},
      {{"--jobs", "x", "--out-dir", "d", "a", "b"},
       "--jobs needs a whole number from 0 to 256, not 'x'"},
      {{"-o", "", "a", "b"}, "-o needs a file name"},
      {{"--output=", "a", "b"}, "-o needs a file name"},
      {{"--ma", "1", "a", "b"}, "option --ma is ambiguous: it may be --max-steps, --max-memory"},
      {{"--eol=cr", "a", "b"}, "--eol needs crlf or lf, not 'cr'"},
      {{"--jobs", "2", "a", "b"}, "--jobs needs --out-dir"},
      {{"--out-dir", "d", "a"}, "expected SCHEMA_FILE and at least one SOURCE_FILE"},
      {{"--out-dir", "d", "-o", "x", "a", "b"}, "-o and --out-dir cannot be used together"},
      {{"--out-dir", "d", "--steps", "a", "b"},
       "--steps works on one translation, not with --out-dir"},
      {{"--out-dir", "d", "a", "b", "-"}, "--out-dir cannot translate standard input"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(parse_options(c.args, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(CliOptions, JobsOutputAndLineEnds) {
  struct Case {
    std::vector<std::string> args;
    int jobs;
  };
  // -j alone asks for one job per core (0); a number may follow it apart.
  const Case cases[] = {
      {{"-j", "--out-dir", "d", "s", "a"}, 0},  {{"-j", "3", "--out-dir", "d", "s", "a"}, 3},
      {{"-j5", "--out-dir", "d", "s", "a"}, 5}, {{"--jobs=0", "--out-dir", "d", "s", "a"}, 0},
      {{"--out-dir", "d", "s", "a", "-j"}, 0},
  };
  for (const Case& c : cases) {
    std::string error;
    auto options = parse_options(c.args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->jobs, c.jobs) << c.args[0];
    EXPECT_EQ(options->sources, std::vector<std::string>{"a"});
  }
  std::string error;
  auto options = parse_options({"--output", "r.txt", "--eol=lf", "s", "a"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->output_file, "r.txt");
  EXPECT_TRUE(options->lf);
  // After --, "-j" is a file name.
  options = parse_options({"--", "s", "-j"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->source_file, "-j");
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
