#include "cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace zr {

const char* const usage_text =
    "usage: zrtranslate [OPTION]... SCHEMA_FILE SOURCE_FILE\n"
    "       zrtranslate [OPTION]... --out-dir DIR SCHEMA_FILE SOURCE_FILE...\n"
    "Translates SOURCE_FILE under SCHEMA_FILE and writes the result to standard output.\n"
    "A file name '-' reads standard input.\n"
    "\n"
    "  --raw              write the result exactly as the engine returns it: the three\n"
    "                     header lines (redirect, reengine, save), each ended by LF,\n"
    "                     then the body; without --raw, three empty header lines and\n"
    "                     the CR LF that opens the body are dropped, as the desktop\n"
    "                     program writes its result file, and a result that is empty\n"
    "                     then writes nothing\n"
    "  --eol=crlf|lf      line ends of the result: crlf (the default) writes it as the\n"
    "                     schema prints it; lf writes each CR LF of it as LF, header\n"
    "                     lines and body alike\n"
    "  -o, --output FILE  write the result to FILE, replacing it whole: a temporary file\n"
    "                     beside it is renamed over it once the result is complete, so\n"
    "                     a failed or stopped run leaves FILE as it was; a link is\n"
    "                     written through, FILE keeps its mode, a new FILE gets the mode\n"
    "                     the umask gives; a FILE you may not write is refused\n"
    "  --out-dir DIR      translate every SOURCE_FILE, each result to DIR/NAME.out (DIR\n"
    "                     is made when missing); a source that fails loses the NAME.out\n"
    "                     of an earlier run, so no stale result is left behind\n"
    "  -j, --jobs N       with --out-dir: N translations at once (default 1; 0, or -j\n"
    "                     alone, one per core)\n"
    "  -v, --console      every engine message on standard error as it arrives\n"
    "  --debug            debug output of the whole run (implies --console)\n"
    "  --steps            one dialog step per Enter on the terminal; c and Enter runs on,\n"
    "                     q and Enter stops; the line each step waits on is shown\n"
    "  --timeout SECONDS  stop a translation that runs longer (default: no limit)\n"
    "  --max-steps N      stop a translation after N dialog steps (default: no limit)\n"
    "  --max-memory MB    stop a translation whose texts (source, result, variables,\n"
    "                     streams, stack) hold more; each translation of a batch counts\n"
    "                     its own; a source file larger is not read (default: half the\n"
    "                     machine; 0: no limit)\n"
    "  -h, --help         show this help and exit\n"
    "  --version          show the version and exit\n"
    "  --                 end of options: the words after it are file names\n"
    "\n"
    "An output never replaces an input: naming one is a usage error, and nothing is\n"
    "written. Standard error carries the engine's error report and FILE:LINE:COLUMN:\n"
    "error: and warning: lines. Exit status: 0 result, 1 failed translation, 2 usage\n"
    "error or unreadable file, 3 a run stopped by --timeout, --max-steps or\n"
    "--max-memory, 128+N stopped by signal N (130 for Ctrl-C); with --out-dir the\n"
    "worst of all files.\n"
    "The guide: docs/guide.md (installed under share/doc/zorvex/).\n";

namespace {

enum long_only : int {
  opt_raw = 256,
  opt_eol,
  opt_debug,
  opt_steps,
  opt_timeout,
  opt_max_steps,
  opt_max_memory,
  opt_out_dir,
  opt_version,
};

const option long_options[] = {
    {"raw", no_argument, nullptr, opt_raw},
    {"eol", required_argument, nullptr, opt_eol},
    {"output", required_argument, nullptr, 'o'},
    {"debug", no_argument, nullptr, opt_debug},
    {"steps", no_argument, nullptr, opt_steps},
    {"console", no_argument, nullptr, 'v'},
    {"timeout", required_argument, nullptr, opt_timeout},
    {"max-steps", required_argument, nullptr, opt_max_steps},
    {"max-memory", required_argument, nullptr, opt_max_memory},
    {"jobs", required_argument, nullptr, 'j'},
    {"out-dir", required_argument, nullptr, opt_out_dir},
    {"version", no_argument, nullptr, opt_version},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

// The name an option is written with, for messages.
std::string option_name(int value) {
  if (value == 'j') return "--jobs";
  if (value < 256) return std::string("-") + static_cast<char>(value);
  for (const option& o : long_options)
    if (o.name && o.val == value) return std::string("--") + o.name;
  return "?";
}

// The message for a long option getopt does not take: one that several
// options begin with is ambiguous, any other is unknown.
std::string unknown_long_option(const std::string& word) {
  const std::string written = word.substr(2, word.find('=') - 2);
  std::string matches;
  int count = 0;
  for (const option& o : long_options) {
    if (!o.name || !std::string_view(o.name).starts_with(written)) continue;
    matches += std::string(count++ ? ", --" : "--") + o.name;
  }
  if (count > 1) return "option --" + written + " is ambiguous: it may be " + matches;
  return "unknown option " + word;
}

// "-j" alone asks for one job per core; a number after it as the next word
// ("-j 4") belongs to it. getopt takes an optional value only when it is
// attached, so such a pair is joined first ("-j4"); a lone "-j" gets "0".
std::vector<std::string> join_jobs_values(const std::vector<std::string>& args) {
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      joined.insert(joined.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (args[i] != "-j") {
      joined.push_back(args[i]);
      continue;
    }
    const bool number_follows = i + 1 < args.size() && !args[i + 1].empty() &&
                                std::all_of(args[i + 1].begin(), args[i + 1].end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
    joined.push_back("-j" + (number_follows ? args[++i] : std::string("0")));
  }
  return joined;
}

std::string missing_value(int value) {
  switch (value) {
    case 'o':
      return "-o needs a file name";
    case opt_eol:
      return "--eol needs crlf or lf";
    case opt_out_dir:
      return "--out-dir needs a folder name";
    case opt_timeout:
      return "--timeout needs a number of seconds";
    default:
      return option_name(value) + " needs a number";
  }
}

// A whole decimal number from `low` to `high`, nothing else.
std::optional<long long> whole_number(const std::string& word, long long low, long long high) {
  long long value = 0;
  const char* end = word.data() + word.size();
  auto [stop, failure] = std::from_chars(word.data(), end, value);
  if (failure != std::errc() || stop != end || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<double> seconds(const std::string& word) {
  if (word.empty() || std::isspace(static_cast<unsigned char>(word[0]))) return std::nullopt;
  char* stop = nullptr;
  const double value = std::strtod(word.c_str(), &stop);
  if (*stop != '\0' || !std::isfinite(value) || value < 0) return std::nullopt;
  return value;
}

// Bounds that keep every count within what the engine and the machine take.
constexpr long long max_jobs = 256;
constexpr long long max_memory_mb = 1LL << 30;

// Stores the value of one option that takes one; false with `error` set when
// the value is not one the option takes.
bool take_value(int value, const std::string& word, cli_options& options, std::string& error) {
  std::optional<long long> number;
  switch (value) {
    case 'o':
      if (word.empty()) error = missing_value(value);
      options.output_file = word;
      return !word.empty();
    case opt_out_dir:
      if (word.empty()) error = missing_value(value);
      options.out_dir = word;
      return !word.empty();
    case opt_eol:
      if (word != "crlf" && word != "lf") error = "--eol needs crlf or lf, not '" + word + "'";
      options.lf = word == "lf";
      return error.empty();
    case opt_timeout: {
      std::optional<double> s = seconds(word);
      if (s)
        options.timeout_seconds = *s;
      else
        error = "--timeout needs a number of seconds, not '" + word + "'";
      return s.has_value();
    }
    case opt_max_steps:
      number = whole_number(word, 0, std::numeric_limits<long long>::max());
      if (number) options.max_steps = *number;
      break;
    case opt_max_memory:
      number = whole_number(word, 0, max_memory_mb);
      if (number) options.max_memory_mb = *number;
      break;
    case 'j':
      number = whole_number(word, 0, max_jobs);
      if (number) options.jobs = static_cast<int>(*number);
      break;
  }
  if (!number) {
    error = option_name(value) + " needs a whole number" + (value == 'j' ? " from 0 to 256" : "") +
            ", not '" + word + "'";
  }
  return number.has_value();
}

// The file names and how the options combine.
bool check_files(const std::vector<std::string>& files, cli_options& options, std::string& error) {
  const bool batch = !options.out_dir.empty();
  if (!batch && files.size() != 2) {
    error = "expected SCHEMA_FILE and SOURCE_FILE";
  } else if (batch && files.size() < 2) {
    error = "expected SCHEMA_FILE and at least one SOURCE_FILE";
  } else if (batch && !options.output_file.empty()) {
    error = "-o and --out-dir cannot be used together";
  } else if (!batch && options.jobs != 1) {
    error = "--jobs needs --out-dir";
  } else if (batch && options.steps) {
    error = "--steps works on one translation, not with --out-dir";
  } else if (files[0] == "-" && files[1] == "-") {
    error = "only one of SCHEMA_FILE and SOURCE_FILE can be standard input";
  } else if (batch && std::find(files.begin() + 1, files.end(), "-") != files.end()) {
    error = "--out-dir cannot translate standard input";
  }
  if (!error.empty()) return false;
  options.schema_file = files[0];
  options.source_file = files[1];
  options.sources.assign(files.begin() + 1, files.end());
  return true;
}

}  // namespace

std::optional<cli_options> parse_options(const std::vector<std::string>& args, std::string& error) {
  std::vector<std::string> words = join_jobs_values(args);
  words.insert(words.begin(), "zrtranslate");
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(words.size());

  cli_options options;
  optind = 0;  // a full restart of getopt's scan, so the parser can be called again
  opterr = 0;  // the messages are ours
  int value;
  while ((value = getopt_long(argc, argv.data(), ":hvo:j:", long_options, nullptr)) != -1) {
    switch (value) {
      case 'h':
        options.help = true;
        return options;
      case opt_version:
        options.version = true;
        return options;
      case opt_raw:
        options.raw = true;
        break;
      case opt_debug:
        options.debug = true;
        options.console = true;
        break;
      case opt_steps:
        options.steps = true;
        break;
      case 'v':
        options.console = true;
        break;
      case ':':
        error = missing_value(optopt);
        return std::nullopt;
      case '?':
        if (optopt >= 256)
          error = option_name(optopt) + " takes no value";
        else if (optopt != 0)
          error = "unknown option -" + std::string(1, static_cast<char>(optopt));
        else
          error = unknown_long_option(argv[static_cast<std::size_t>(optind - 1)]);
        return std::nullopt;
      default:
        if (!take_value(value, optarg, options, error)) return std::nullopt;
    }
  }
  // getopt_long moves the file names behind the options in argv, not in words.
  std::vector<std::string> files(argv.begin() + optind, argv.begin() + argc);
  if (!check_files(files, options, error)) return std::nullopt;
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
