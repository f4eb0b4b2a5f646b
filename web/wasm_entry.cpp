// The functions the WebAssembly module exports to JavaScript (web/src/engine.js
// calls them). Texts cross as UTF-8 bytes with their lengths.
#include <emscripten.h>

#include <cstddef>
#include <string>

#include "web/translate_json.h"

namespace {

// The last answer, kept until the next call so JavaScript can read it.
std::string answer;

}  // namespace

extern "C" {

// Translates and returns the JSON answer (translate_json); its length comes
// from zr_web_answer_size. Limits of 0 keep the engine's default.
EMSCRIPTEN_KEEPALIVE const char* zr_web_translate(const char* schema, std::size_t schema_size,
                                                  const char* source, std::size_t source_size,
                                                  int debug, double timeout_seconds,
                                                  double max_steps, double max_memory_mb) {
  zr::web_request request;
  request.schema.assign(schema, schema_size);
  request.source.assign(source, source_size);
  request.debug = debug != 0;
  request.limits.timeout_seconds = timeout_seconds;
  request.limits.max_steps = static_cast<long long>(max_steps);
  request.limits.max_memory_mb = static_cast<long long>(max_memory_mb);
  answer = zr::translate_json(request);
  return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE std::size_t zr_web_answer_size() {
  return answer.size();
}
}
