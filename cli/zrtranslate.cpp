// zrtranslate: translates a source file under a schema file from the command
// line, or many sources at once with --out-dir. The result goes to standard
// output or to the file named with -o; standard error carries what a user
// must read (every engine message with --console).
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/diagnostics.h"
#include "cli/input_files.h"
#include "cli/options.h"
#include "cli/run_control.h"
#include "cli/translation.h"

namespace {

using namespace zr;

int usage_error(const std::string& message) {
  print_error_text("zrtranslate: " + message + "\nTry 'zrtranslate --help' for more.\n");
  return exit_usage;
}

void warn_about_header(const schema_input& schema) {
  for (const warning& w : header_warnings(schema.text))
    print_error_text(
        diagnostic_line(display_name(schema.file), w.line, w.column, "warning", w.message) + "\n");
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

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  std::optional<cli_options> options =
      parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return usage_error(error);
  if (options->help) {
    std::fputs(usage_text, stdout);
    return exit_result;
  }
  if (options->version) {
    std::puts("zrtranslate " ZR_VERSION);
    return exit_result;
  }
  schema_input schema{options->schema_file, {}};
  if (!read_translation_input(schema.file, schema.text)) return exit_usage;
  warn_about_header(schema);
  stop_on_signals();
  return options->out_dir.empty() ? run_single(*options, schema) : run_batch(*options, schema);
}
