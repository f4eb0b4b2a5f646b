// One translation from the command line: reads the source file, runs the
// engine on this thread under the options' limits and writes the result, or
// reports the failure with its FILE:LINE:COLUMN line.
#pragma once

#include <atomic>
#include <string>

#include "cli/options.h"
#include "cli/run_control.h"

namespace zr {

constexpr int exit_result = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;
constexpr int exit_limit = 3;  // a run limit stopped the translation
// 128 + n: signal n stopped it (signal_exit_status).

// The schema file, read once for every translation.
struct schema_input {
  std::string file;  // as named on the command line
  std::string text;  // without a byte-order mark
  // Whether the reader's warnings have been shown: a batch reads the schema
  // once per source but shows them once.
  mutable std::atomic<bool> warned{false};
};

// Reads a file for translation, refusing a file larger than the options'
// memory limit; prints why it cannot and the warning for a removed
// byte-order mark. Returns exit_result when it was read, else the exit
// status (exit_usage, or the signal's when SIGINT or SIGTERM ended the read).
int read_translation_input(const cli_options& options, const std::string& name, std::string& text);

// Translates `source_file` under the schema and writes the result to
// `output_file` (standard output when empty). Returns the exit status.
// `terminal` answers suspensions and steps; null when none can. A run that
// runs out of memory is that source's failure, not the program's.
int translate_file(const cli_options& options, const schema_input& schema,
                   const std::string& source_file, const std::string& output_file,
                   terminal_lines* terminal);

}  // namespace zr
