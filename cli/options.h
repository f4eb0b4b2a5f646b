// The command line of zrtranslate.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr {

struct cli_options {
  std::string schema_file;  // "-" for standard input
  std::string source_file;  // "-" for standard input
  std::string output_file;  // empty: standard output
  bool raw = false;         // the result exactly as translate returns it
  bool debug = false;       // debug output for the whole run
  bool steps = false;       // step mode granted from the terminal
  bool help = false;
};

// Parses the arguments after the program name; on a usage error returns no
// value and sets `error` to a one-line message.
std::optional<cli_options> parse_options(const std::vector<std::string>& args, std::string& error);

extern const char* const usage_text;

// Directives put in front of the schema text for --debug and --steps, and
// the number of lines they add.
std::string directive_prefix(const cli_options& options);
int prefix_lines(const cli_options& options);

}  // namespace zr
