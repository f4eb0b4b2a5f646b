#include "cli/diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace zr {

namespace {

std::mutex error_stream;
bool at_line_start = true;  // whether the last text written ended its line; guarded by error_stream

// Longest part of a directive name a warning repeats: a misspelled directive
// is short, and a line of megabytes must not be echoed whole.
constexpr std::size_t shown_name_bytes = 60;

// Every header directive the schema reader looks for, by the name written
// before its "=" ("\\?" and "\\help" stand alone).
constexpr std::string_view header_directives[] = {
    "\\\\?",
    "\\\\help",
    "\\\\debug schema",
    "\\\\debug dialog",
    "\\\\steps in schema",
    "\\\\steps in dialog",
    "\\\\tocken case insensetive",
    "\\\\keyword case insensetive",
    "\\\\separator case insensetive",
    "\\\\print while processing",
    "\\\\state escape",
    "\\\\text string escape",
    "\\\\event escape",
    "\\\\action escape",
    "\\\\feedback escape",
    "\\\\internal event escape",
    "\\\\keyword escape",
    "\\\\external proc par",
    "\\\\comment in schema",
    "\\\\macro variable escape",
    "\\\\indent body",
    "\\\\variable_escape",
};

// Whether `line` is read as the directive `name`: "\\?" and "\\help" are
// found with anything after them, the others only with their "=".
bool names_directive(std::string_view line, std::string_view name) {
  if (!line.starts_with(name)) return false;
  return name == "\\\\?" || name == "\\\\help" || line.substr(name.size()).starts_with('=');
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// `name` cut to its first shown_name_bytes bytes (whole UTF-8 characters),
// with "..." when something was cut.
std::string shown_name(std::string_view name) {
  if (name.size() <= shown_name_bytes) return std::string(name);
  std::size_t end = shown_name_bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
    --end;
  return std::string(name.substr(0, end)) + "...";
}

std::string unknown_directive_message(std::string_view line) {
  std::string_view name = line.substr(0, line.find('='));
  if (name.ends_with('\r')) name.remove_suffix(1);
  std::string_view nearest;
  std::size_t best = name.size() / 2 + 1;  // farther than this is no likely misspelling
  for (std::string_view known : header_directives) {
    // The distance is at least the difference of the lengths: a name far
    // longer than every directive is compared with none of them.
    const std::size_t longer = std::max(name.size(), known.size());
    if (longer - std::min(name.size(), known.size()) >= best) continue;
    const std::size_t distance = edit_distance(name, known);
    if (distance < best) {
      best = distance;
      nearest = known;
    }
  }
  std::string message = "unknown header directive `" + shown_name(name) + "`";
  if (!nearest.empty()) message += "; did you mean `" + std::string(nearest) + "`?";
  return message;
}

// Call with error_stream locked.
void write_error_text(std::string_view text) {
  if (text.empty()) return;  // an empty view may hold no pointer for fwrite
  std::fwrite(text.data(), 1, text.size(), stderr);
  at_line_start = text.back() == '\n';
}

}  // namespace

void print_error_text(std::string_view text) {
  std::lock_guard lock(error_stream);
  write_error_text(text);
  std::fflush(stderr);
}

void print_error_line(std::string_view line) {
  std::lock_guard lock(error_stream);
  if (!at_line_start) write_error_text("\n");
  write_error_text(line);
  write_error_text("\n");
  std::fflush(stderr);
}

void message_channel::writes(const std::string& message) {
  // Only the error report begins so; keeping nothing else spares copying
  // every printed text of a long run.
  if (console_)
    print_error_text(message);
  else if (message.starts_with("\r\nin \"translate\" module"))
    last_ = message;
}

std::vector<warning> header_warnings(std::string_view schema) {
  std::vector<warning> warnings;
  const std::string_view header = schema.substr(0, schema.find("\\\\schema"));
  long long line_number = 1;
  for (std::size_t start = 0; start < header.size(); ++line_number) {
    const std::size_t end = std::min(header.find('\n', start), header.size());
    const std::string_view line = header.substr(start, end - start);
    start = end + 1;
    if (!line.starts_with("\\\\")) continue;
    const bool known =
        std::any_of(std::begin(header_directives), std::end(header_directives),
                    [&](std::string_view name) { return names_directive(line, name); });
    if (!known) warnings.push_back({line_number, 1, unknown_directive_message(line)});
  }
  return warnings;
}

}  // namespace zr
