// zrtranslate: translates a source file under a schema file from the command
// line, or many sources at once with --out-dir. The result goes to standard
// output or to the file named with -o; standard error carries what a user
// must read (every engine message with --console).
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/diagnostics.h"
#include "cli/file_identity.h"
#include "cli/input_files.h"
#include "cli/options.h"
#include "cli/run_control.h"
#include "cli/signals.h"
#include "cli/translation.h"
#include "zrdll_version.h"

namespace {

using namespace zr;

int usage_error(const std::string& message) {
  print_error_text("zrtranslate: " + message + "\nTry 'zrtranslate --help' for more.\n");
  return exit_usage;
}

// Writes the help or the version; a standard output that cannot take it is
// an error, not a success.
int print_and_exit(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_result;
  print_error_text(
      "zrtranslate: cannot write standard output: " + std::string(std::strerror(errno)) + "\n");
  return exit_usage;
}

void warn_about_header(const schema_input& schema) {
  for (const warning& w : header_warnings(schema.text))
    print_error_line(
        diagnostic_line(display_name(schema.file), w.line, w.column, "warning", w.message));
}

// One translation, steered from the terminal when there is one: always with
// --steps, else when standard input is a terminal.
int run_single(const cli_options& options, const schema_input& schema) {
  terminal_lines terminal;
  const bool interactive = (options.steps || ::isatty(STDIN_FILENO)) && terminal.open();
  if (options.steps && !interactive)
    return usage_error("--steps needs a terminal to read grants from");
  return translate_file(options, schema, options.source_file, options.output_file,
                        interactive ? &terminal : nullptr);
}

// Every file the run reads, and every file it writes.
std::vector<std::string> inputs_of(const cli_options& options) {
  std::vector<std::string> inputs{options.schema_file};
  inputs.insert(inputs.end(), options.sources.begin(), options.sources.end());
  return inputs;
}

std::vector<std::string> outputs_of(const cli_options& options, std::string& error) {
  if (!options.out_dir.empty()) return batch_outputs(options.sources, options.out_dir, error);
  if (options.output_file.empty()) return {};
  return {options.output_file};
}

}  // namespace

int main(int argc, char** argv) {
  stop_on_signals();
  std::string error;
  std::optional<cli_options> options =
      parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return usage_error(error);
  if (options->help) return print_and_exit(usage_text);
  if (options->version) return print_and_exit("zrtranslate " ZRDLL_VERSION_STRING "\n");
  const std::vector<std::string> inputs = inputs_of(*options);
  const std::vector<std::string> outputs = outputs_of(*options, error);
  if (!error.empty()) return usage_error(error);
  // Before anything is read or written: an output must never replace an
  // input, and a stream can be read only once.
  if (std::optional<std::string> clash = output_replacing_input(inputs, outputs))
    return usage_error("output " + *clash);
  if (std::optional<std::string> twice = stream_read_twice(inputs)) return usage_error(*twice);
  schema_input schema{options->schema_file, {}};
  if (int status = read_translation_input(*options, schema.file, schema.text);
      status != exit_result)
    return status;
  warn_about_header(schema);
  return options->out_dir.empty() ? run_single(*options, schema)
                                  : run_batch(*options, schema, outputs);
}
