// The playground's entry into the engine: one translation whose outcome comes
// back as a JSON object, for the page's worker and the tests under node.
#pragma once

#include <string>

#include "engine/zrcomp.h"

namespace zr {

struct web_request {
  std::string schema;
  std::string source;
  bool debug = false;  // the whole run traced to the console, as zrtranslate --debug
  run_limits limits;   // a zero field keeps the engine's default
};

// Translates and returns
//   {"result": TEXT or null, "console": TEXT, "console_cut": BOOL,
//    "diagnostics": [{"kind", "file", "line", "column", "message", "text"}...],
//    "error": null or {"number", "description", "line", "column", "file"}}
// "result" is what zrtranslate writes (the empty header lines and the CR LF
// that opens the body dropped); "console" every engine message; each
// diagnostic one line as zrtranslate writes it to standard error, naming the
// files "schema" and "source"; "error" the failure, placed where the run
// stopped.
std::string translate_json(const web_request& request);

// A JSON string literal of `bytes`, quotes included. Bytes that are not
// UTF-8 pass through as they are (the page decodes them leniently).
std::string json_string(const std::string& bytes);

}  // namespace zr
