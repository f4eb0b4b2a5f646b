// Shared fixtures of the schema compiler's tests: compiles a schema text into
// a fresh engine state and keeps the console text and the error, if any.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/schema_reader.h"
#include "engine/schema_table.h"
#include "engine/test_support.h"

namespace zr {

struct compiled_schema {
  std::shared_ptr<recording_output> output;
  std::unique_ptr<engine_state> state;
  std::optional<engine_error> error;

  const schema_table& schema() const { return state->schema; }
  const event_row& event(int index) const { return state->schema.events.at(index); }
  // The error description as UTF-8, or "" after a successful compile.
  std::string error_text() const { return error ? to_utf8(error->description()) : ""; }
};

// A fresh state prepared as a run prepares it before the schema is read.
inline std::unique_ptr<engine_state> fresh_schema_state(std::shared_ptr<recording_output>& output,
                                                        text_view schema_text) {
  auto state = make_test_state(output);
  reset_schema_table(state->schema);
  state->reader.word_separator = U',';
  state->run.source_text = text(schema_text);
  return state;
}

inline compiled_schema compile_schema(text_view schema_text) {
  compiled_schema run;
  run.state = fresh_schema_state(run.output, schema_text);
  try {
    read_schema(*run.state);
  } catch (const engine_error& e) {
    run.error = e;
  }
  return run;
}

// The context the reader adds to every failure, as UTF-8.
inline std::string in_schema(const std::string& description,
                             const std::string& locator = "cycle via different schemas") {
  return description + "\r\nin module \"schema\"\r\nlocator: " + locator;
}

}  // namespace zr
