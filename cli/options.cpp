#include "cli/options.h"

namespace zr {

const char* const usage_text =
    "usage: zrtranslate [--raw] [--debug] [--steps] [-o FILE] SCHEMA_FILE SOURCE_FILE\n"
    "  Translates SOURCE_FILE under SCHEMA_FILE; '-' reads standard input.\n"
    "  --raw      write the result exactly as the engine returns it\n"
    "  --debug    debug output of the whole run on standard error\n"
    "  --steps    one dialog step per Enter; c and Enter runs on, q and Enter stops\n"
    "  -o FILE    write the result to FILE instead of standard output\n"
    "  Engine messages go to standard error. Exit status: 0 result, 1 failed\n"
    "  translation, 2 usage error or unreadable file.\n";

std::optional<cli_options> parse_options(const std::vector<std::string>& args, std::string& error) {
  cli_options options;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--debug") {
      options.debug = true;
    } else if (arg == "--steps") {
      options.steps = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
      return options;
    } else if (arg == "-o") {
      if (i + 1 >= args.size()) {
        error = "-o needs a file name";
        return std::nullopt;
      }
      options.output_file = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) {
    error = "expected SCHEMA_FILE and SOURCE_FILE";
    return std::nullopt;
  }
  if (files[0] == "-" && files[1] == "-") {
    error = "only one of SCHEMA_FILE and SOURCE_FILE can be standard input";
    return std::nullopt;
  }
  options.schema_file = files[0];
  options.source_file = files[1];
  return options;
}

std::string directive_prefix(const cli_options& options) {
  // The first occurrence of a directive counts, so these win over the
  // schema's own.
  std::string prefix;
  if (options.debug) prefix += "\\\\debug schema=t\n\\\\debug dialog=t\n";
  if (options.steps) prefix += "\\\\steps in dialog=t\n";
  return prefix;
}

int prefix_lines(const cli_options& options) {
  return (options.debug ? 2 : 0) + (options.steps ? 1 : 0);
}

}  // namespace zr
