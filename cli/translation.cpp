#include "cli/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "cli/diagnostics.h"
#include "cli/input_files.h"
#include "cli/signals.h"
#include "common/byte_order_mark.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/memory_bound.h"
#include "common/replace_file.h"
#include "engine/zrcomp.h"

namespace zr {

namespace {

std::size_t memory_bound_of(const cli_options& options) {
  return memory_bound_bytes(options.max_memory_mb.value_or(default_memory_limit_mb()));
}

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

// The result as written: each CR LF of it as LF with --eol=lf. A copy only
// then: the result can be the size of the whole translation.
std::string_view with_line_ends(const cli_options& options, std::string_view result,
                                std::string& converted) {
  if (!options.lf || result.find("\r\n") == std::string_view::npos) return result;
  converted.reserve(result.size());
  for (std::size_t start = 0; start < result.size();) {
    const std::size_t crlf = std::min(result.find("\r\n", start), result.size());
    converted.append(result.substr(start, crlf - start));
    if (crlf == result.size()) break;
    converted += '\n';
    start = crlf + 2;
  }
  return converted;
}

int write_result(const cli_options& options, const std::string& output_file,
                 const std::string& result) {
  std::string converted;
  const std::string_view shown = with_line_ends(
      options, options.raw ? std::string_view(result) : shown_result(result), converted);
  if (output_file.empty()) {
    // An empty view may hold no pointer at all, which fwrite must not get.
    if (!shown.empty()) std::fwrite(shown.data(), 1, shown.size(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exit_result;
    print_error_text(
        "zrtranslate: cannot write standard output: " + std::string(std::strerror(errno)) + "\n");
    return exit_usage;
  }
  try {
    replace_file(output_file, shown);
  } catch (const engine_error& e) {
    print_error_text("zrtranslate: cannot write " + display_name(output_file) + ": " + e.what() +
                     "\n");
    return exit_usage;
  }
  return exit_result;
}

// The exit status of a failed translation: a limit or a signal that stopped
// it is told apart from a failure of the schema or the source.
int failure_status(const zrcomp& engine) {
  const std::optional<error_report> error = engine.last_error();
  if (error && error->cause == stop_cause::limit) return exit_limit;
  if (error && error->cause == stop_cause::host && stop_was_requested())
    return signal_exit_status();
  return exit_failed;
}

void warn_about_schema(const cli_options& options, const schema_input& schema,
                       const zrcomp& engine) {
  if (schema.warned.exchange(true)) return;
  for (const failure_location& w : engine.schema_warnings())
    print_error_line(diagnostic_line(display_name(schema.file),
                                     std::max(1LL, w.line - prefix_lines(options)), w.column,
                                     "warning", w.message));
}

}  // namespace

int read_translation_input(const cli_options& options, const std::string& name, std::string& text) {
  std::string reason;
  std::optional<std::string> bytes = read_input(name, reason, memory_bound_of(options));
  if (!bytes) {
    // A signal ends the read at once and says nothing more: the shell tells.
    if (stop_was_requested()) return signal_exit_status();
    print_error_text("zrtranslate: cannot read " + display_name(name) + ": " + reason + "\n");
    return exit_usage;
  }
  text = std::move(*bytes);
  if (remove_byte_order_mark(text))
    print_error_line(
        diagnostic_line(display_name(name), 1, 1, "warning", "byte-order mark removed"));
  return exit_result;
}

namespace {

int run_translation(const cli_options& options, const schema_input& schema,
                    const std::string& source_file, const std::string& output_file,
                    terminal_lines* terminal) {
  std::string source;
  if (int status = read_translation_input(options, source_file, source); status != exit_result)
    return status;
  zrcomp engine;
  auto channel = std::make_shared<message_channel>(options.console);
  engine.give_write_method(channel);
  engine.set_run_limits(limits_of(options, engine.limits()));
  run_control control(engine, terminal, [&](const failure_location& at) {
    return step_line(options, schema, source_file, source, at);
  });
  set_event_pump([&] { control.pump(); }, run_control::passes_per_look);
  std::optional<std::string> result;
  try {
    // The source is the run's largest text after the result: the engine
    // reads it where it stands instead of copying it.
    result = engine.translate_in_place(directive_prefix(options) + schema.text, source);
  } catch (const zrcomp_error&) {
    // The engine has sent its report through the channel already.
  } catch (...) {
    set_event_pump(nullptr);
    throw;
  }
  set_event_pump(nullptr);
  warn_about_schema(options, schema, engine);
  if (result) return write_result(options, output_file, *result);
  std::string report = channel->unprinted_report();
  if (!report.empty()) print_error_text(report);
  if (std::optional<failure_location> where = engine.last_failure())
    print_error_line(location_line(*where, display_name(schema.file), display_name(source_file),
                                   prefix_lines(options)));
  return failure_status(engine);
}

}  // namespace

int translate_file(const cli_options& options, const schema_input& schema,
                   const std::string& source_file, const std::string& output_file,
                   terminal_lines* terminal) {
  try {
    return run_translation(options, schema, source_file, output_file, terminal);
  } catch (const std::bad_alloc&) {
    print_error_text("zrtranslate: out of memory translating " + display_name(source_file) + "\n");
    return exit_failed;
  }
}

}  // namespace zr
