#include "cli/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/diagnostics.h"
#include "cli/input_files.h"
#include "common/byte_order_mark.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/replace_file.h"
#include "engine/zrcomp.h"

namespace zr {

namespace {

run_limits limits_of(const cli_options& options, run_limits limits) {
  limits.timeout_seconds = options.timeout_seconds;
  limits.max_steps = options.max_steps;
  if (options.max_memory_mb) limits.max_memory_mb = *options.max_memory_mb;
  return limits;
}

// Line `number` (1-based) of `text`, without its line end.
std::string line_of(const std::string& text, long long number) {
  std::size_t start = 0;
  for (long long n = 1; n < number && start != std::string::npos; ++n) {
    start = text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos || start > text.size()) return "";
  std::string line = text.substr(start, text.find('\n', start) - start);
  if (line.ends_with('\r')) line.pop_back();
  return line;
}

// "FILE:LINE:COLUMN: step: TEXT OF THE LINE" for the place a step waits on.
std::string step_line(const cli_options& options, const schema_input& schema,
                      const std::string& source_file, const std::string& source,
                      const failure_location& at) {
  const long long line = at.in_schema ? std::max(1LL, at.line - prefix_lines(options)) : at.line;
  const std::string& file = at.in_schema ? schema.file : source_file;
  const std::string& text = at.in_schema ? schema.text : source;
  return diagnostic_line(display_name(file), line, at.column, "step", line_of(text, line));
}

int write_result(const cli_options& options, const std::string& output_file,
                 const std::string& result) {
  // A view: the result can be the size of the whole translation.
  const std::string_view shown = options.raw ? std::string_view(result) : stripped_result(result);
  if (output_file.empty()) {
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_result;
    print_error_text(
        "zrtranslate: cannot write standard output: " + std::string(std::strerror(errno)) + "\n");
    return exit_usage;
  }
  try {
    replace_file(output_file, shown);
  } catch (const engine_error& e) {
    print_error_text("zrtranslate: cannot write " + output_file + ": " + e.what() + "\n");
    return exit_usage;
  }
  return exit_result;
}

void warn_about_schema(const cli_options& options, const schema_input& schema,
                       const zrcomp& engine) {
  if (schema.warned.exchange(true)) return;
  std::string lines;
  for (const failure_location& w : engine.schema_warnings())
    lines +=
        diagnostic_line(display_name(schema.file), std::max(1LL, w.line - prefix_lines(options)),
                        w.column, "warning", w.message) +
        "\n";
  print_error_text(lines);
}

}  // namespace

bool read_translation_input(const std::string& name, std::string& text) {
  std::string reason;
  std::optional<std::string> bytes = read_input(name, reason);
  if (!bytes) {
    print_error_text("zrtranslate: cannot read " + display_name(name) + ": " + reason + "\n");
    return false;
  }
  text = std::move(*bytes);
  if (remove_byte_order_mark(text))
    print_error_text(
        diagnostic_line(display_name(name), 1, 1, "warning", "byte-order mark removed") + "\n");
  return true;
}

int translate_file(const cli_options& options, const schema_input& schema,
                   const std::string& source_file, const std::string& output_file,
                   terminal_lines* terminal) {
  std::string source;
  if (!read_translation_input(source_file, source)) return exit_usage;
  zrcomp engine;
  auto channel = std::make_shared<message_channel>(options.console);
  engine.give_write_method(channel);
  engine.set_run_limits(limits_of(options, engine.limits()));
  run_control control(engine, terminal, [&](const failure_location& at) {
    return step_line(options, schema, source_file, source, at);
  });
  set_event_pump([&] { control.pump(); });
  std::optional<std::string> result;
  try {
    result = engine.translate(directive_prefix(options) + schema.text, source);
  } catch (const zrcomp_error&) {
    // The engine has sent its report through the channel already.
  }
  set_event_pump(nullptr);
  warn_about_schema(options, schema, engine);
  if (result) return write_result(options, output_file, *result);
  std::string report = channel->unprinted_report();
  if (std::optional<failure_location> where = engine.last_failure())
    report += "\n" +
              location_line(*where, display_name(schema.file), display_name(source_file),
                            prefix_lines(options)) +
              "\n";
  print_error_text(report);
  return exit_failed;
}

}  // namespace zr
