// The command line of zrtranslate.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr {

struct cli_options {
  std::string schema_file;                 // "-" for standard input
  std::string source_file;                 // "-" for standard input; the first source in a batch
  std::vector<std::string> sources;        // every source file (one unless --out-dir is given)
  std::string output_file;                 // empty: standard output
  std::string out_dir;                     // a batch: each result to DIR/<source name>.out
  int jobs = 1;                            // translations at once in a batch; 0: one per core
  bool lf = false;                         // --eol=lf: each CR LF of the result written as LF
  bool raw = false;                        // the result exactly as translate returns it
  bool debug = false;                      // debug output for the whole run
  bool steps = false;                      // step mode granted from the terminal
  bool console = false;                    // every engine message on standard error
  double timeout_seconds = 0;              // 0: no time limit
  long long max_steps = 0;                 // 0: no step limit
  std::optional<long long> max_memory_mb;  // none: the engine's default; 0: no limit
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; on a usage error returns no
// value and sets `error` to a one-line message. Uses getopt_long, whose state
// is global: one call at a time.
std::optional<cli_options> parse_options(const std::vector<std::string>& args, std::string& error);

extern const char* const usage_text;

// Directives put in front of the schema text for --debug and --steps, and
// the number of lines they add.
std::string directive_prefix(const cli_options& options);
int prefix_lines(const cli_options& options);

}  // namespace zr
