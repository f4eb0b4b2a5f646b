#include "web/translate_json.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/options.h"
#include "common/byte_order_mark.h"
#include "common/easylife.h"

namespace zr {

namespace {

// A debug run of a long source prints without end; the page shows the first
// part and says that it was cut.
constexpr std::size_t console_limit = 4 * 1024 * 1024;

// Every engine message, in the order they arrive, up to the limit.
class console_channel : public output_object {
 public:
  void writes(const std::string& message) override {
    if (message.starts_with("\r\nin \"translate\" module")) report_ = message;
    if (text_.size() + message.size() > console_limit) {
      cut_ = true;
      text_.append(message, 0, console_limit - std::min(console_limit, text_.size()));
      return;
    }
    text_ += message;
  }
  const std::string& text() const { return text_; }
  bool cut() const { return cut_; }
  // The failure report of an engine error: CR LF, "in "translate" module",
  // CR LF, number, " * ", description.
  const std::string& report() const { return report_; }

 private:
  std::string text_;
  std::string report_;
  bool cut_ = false;
};

struct diagnostic {
  std::string kind;
  std::string file;
  long long line;
  long long column;
  std::string message;
};

struct failure {
  int number;
  std::string description;
};

// Number and description from an engine error's report.
std::optional<failure> failure_of_report(const std::string& report) {
  constexpr std::string_view head = "\r\nin \"translate\" module\r\n";
  if (!report.starts_with(head)) return std::nullopt;
  const std::size_t star = report.find(" * ", head.size());
  if (star == std::string::npos) return std::nullopt;
  int number = 0;
  for (std::size_t i = head.size(); i < star; ++i) {
    if (report[i] < '0' || report[i] > '9' || number > 99999) return std::nullopt;
    number = number * 10 + (report[i] - '0');
  }
  return failure{number, report.substr(star + 3)};
}

std::string diagnostic_json(const diagnostic& d) {
  return "{\"kind\":" + json_string(d.kind) + ",\"file\":" + json_string(d.file) +
         ",\"line\":" + std::to_string(d.line) + ",\"column\":" + std::to_string(d.column) +
         ",\"message\":" + json_string(d.message) +
         ",\"text\":" + json_string(diagnostic_line(d.file, d.line, d.column, d.kind, d.message)) +
         "}";
}

}  // namespace

std::string json_string(const std::string& bytes) {
  constexpr char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16 + 2);
  out += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\r' || c == '\n' || c == '\t') {
      out += '\\';
      out += c == '\r' ? 'r' : c == '\n' ? 'n' : 't';
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\u00";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string translate_json(const web_request& request) {
  std::vector<diagnostic> diagnostics;
  std::string schema = request.schema;
  std::string source = request.source;
  if (remove_byte_order_mark(schema))
    diagnostics.push_back({"warning", "schema", 1, 1, "byte-order mark removed"});
  if (remove_byte_order_mark(source))
    diagnostics.push_back({"warning", "source", 1, 1, "byte-order mark removed"});
  for (const warning& w : header_warnings(schema))
    diagnostics.push_back({"warning", "schema", w.line, w.column, w.message});

  cli_options options;
  options.debug = request.debug;
  const long long added_lines = prefix_lines(options);
  zrcomp engine;
  auto channel = std::make_shared<console_channel>();
  engine.give_write_method(channel);
  run_limits limits = engine.limits();
  limits.timeout_seconds = request.limits.timeout_seconds;
  limits.max_steps = request.limits.max_steps;
  if (request.limits.max_memory_mb > 0) limits.max_memory_mb = request.limits.max_memory_mb;
  engine.set_run_limits(limits);

  std::optional<std::string> result;
  std::optional<failure> raised;
  try {
    result = engine.translate(directive_prefix(options) + schema, source);
  } catch (const zrcomp_error& e) {
    raised = failure{e.number(), e.description()};
  }
  for (const failure_location& w : engine.schema_warnings())
    diagnostics.push_back(
        {"warning", "schema", std::max(1LL, w.line - added_lines), w.column, w.message});

  std::string error = "null";
  if (!result) {
    const failure f =
        raised.value_or(failure_of_report(channel->report()).value_or(failure{0, ""}));
    error = "{\"number\":" + std::to_string(f.number) +
            ",\"description\":" + json_string(f.description);
    if (std::optional<failure_location> where = engine.last_failure()) {
      const std::string file = where->in_schema ? "schema" : "source";
      const long long line =
          where->in_schema ? std::max(1LL, where->line - added_lines) : where->line;
      error += ",\"file\":" + json_string(file) + ",\"line\":" + std::to_string(line) +
               ",\"column\":" + std::to_string(where->column);
      diagnostics.push_back({"error", file, line, where->column, where->message});
      if (where->note_line > 0)
        diagnostics.push_back(
            {"note", file,
             where->in_schema ? std::max(1LL, where->note_line - added_lines) : where->note_line,
             where->note_column, where->note});
    }
    error += "}";
  }

  std::string json = "{\"result\":";
  json += result ? json_string(std::string(shown_result(*result))) : "null";
  json += ",\"console\":" + json_string(channel->text());
  json += std::string(",\"console_cut\":") + (channel->cut() ? "true" : "false");
  json += ",\"diagnostics\":[";
  for (std::size_t i = 0; i < diagnostics.size(); ++i)
    json += (i ? "," : "") + diagnostic_json(diagnostics[i]);
  json += "],\"error\":" + error + "}";
  return json;
}

}  // namespace zr
