// What zrtranslate writes to standard error: engine messages (every one with
// --console, else only a failed run's report), FILE:LINE:COLUMN lines and
// warnings about the schema that never change the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/zrcomp.h"

namespace zr {

// Writes `text` to standard error at once. Parallel translations call it, so
// the text of one call is never mixed with another's.
void print_error_text(std::string_view text);
// Writes `line` and an LF to standard error, on a line of its own: after a
// text that did not end its last line (an engine report), an LF comes first.
void print_error_line(std::string_view line);

// The engine's message channel for one translation. With `console` every
// message is printed as it arrives. Without, only the error report is kept
// (the last message of a failed run).
class message_channel : public output_object {
 public:
  explicit message_channel(bool console) : console_(console) {}
  void writes(const std::string& message) override;
  // The failed run's error report, unless it has been printed already.
  std::string unprinted_report() const { return console_ ? std::string() : last_; }

 private:
  bool console_;
  std::string last_;
};

struct warning {
  long long line = 1;
  long long column = 1;
  std::string message;
};

// The header lines of `schema` (before its first "\\schema") that begin with
// two backslashes but name no header directive, with the nearest one. Time
// and memory grow with the schema's length alone, and a message shows at
// most the first 60 characters of a name.
std::vector<warning> header_warnings(std::string_view schema);

}  // namespace zr
