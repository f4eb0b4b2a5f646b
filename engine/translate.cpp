#include "engine/translate.h"

#include "common/easylife.h"
#include "common/growth.h"
#include "engine/engine_state.h"
#include "engine/limits.h"
#include "engine/messages.h"
#include "engine/translation_loop.h"

namespace zr {

namespace {

[[noreturn]] void raise_to_host(const engine_error& error) {
  throw zrcomp_error(error.number(), to_utf8(error.description()));
}

// Keeps the failed run's error and where it stopped, for the host to ask.
void record_failure(engine_state& state, const engine_error& error) {
  run_state& run = state.run;
  // A failure before the schema is read (while the texts are stored) names
  // the start of the source.
  run.failure = run.phase == run_state::reading::none ? failure_location{} : locate_failure(state);
  const text& description = error.description();
  run.failure->message = to_utf8(description.substr(0, description.find_first_of(U"\r\n")));
  run.error = error_report{error.number(), to_utf8(description), run.stopping};
}

// Runs the translation with the error convention of translate: `load` stores
// the schema and the source (with its CR LF added) in the run, then the run
// compiles and translates them. Their memory counts against the run's bound
// from the first byte. True when run.result holds the result.
template <class Load>
bool run_translation(engine_state& state, Load load) {
  state.run.failure.reset();
  state.run.error.reset();
  state.run.stopping = stop_cause::error;
  state.run.phase = run_state::reading::none;
  start_limits(state);
  growth_budget_scope budget(&state.limits.memory);
  try {
    load();
    compile(state);
    return true;
  } catch (...) {
    engine_error error = current_error();
    record_failure(state, error);
    report_translate_error(state, error);
    return false;
  }
}

// Holds the source with CR LF added: as its bytes when it is ASCII alone,
// as engine text otherwise.
void hold_source(run_state& run, std::string_view source) {
  run.source_in_bytes = is_ascii(source);
  run.source.clear();
  run.source_bytes.clear();
  run.scanned_bytes = {};
  if (run.source_in_bytes) {
    reserve_growing(run.source_bytes, source.size() + text_crlf.size());
    run.source_bytes += source;
    run.source_bytes += "\r\n";
    run.scanned_bytes = run.source_bytes;
    return;
  }
  reserve_growing(run.source, source.size() + text_crlf.size());
  append_utf8(source, run.source);
  run.source += text_crlf;
}

// An ASCII source is scanned where the host keeps it, with CR LF appended
// for the run; true when it is. Another source is held as hold_source holds
// it.
bool hold_source_in_place(run_state& run, std::string& source) {
  if (!is_ascii(source)) {
    hold_source(run, source);
    return false;
  }
  run.source.clear();
  run.source_bytes = std::string();  // no copy of an earlier run's source stays held
  source += "\r\n";
  run.source_in_bytes = true;
  run.scanned_bytes = source;
  return true;
}

// After a run: nothing reads the source after a successful run (a failed
// one keeps it for the location of the failure), so its storage is released
// and the result moves out.
std::optional<std::string> finish(run_state& run, bool done) {
  if (!done) return std::nullopt;
  run.source_text = text();
  run.source_bytes = std::string();
  run.scanned_bytes = {};
  std::string result = std::move(*run.result);
  run.result.reset();
  return result;
}

}  // namespace

std::optional<text> translate(engine_state& state, text_view schema, text_view source) {
  const bool done = run_translation(state, [&] {
    state.run.schema_text = text(schema);
    state.run.source_in_bytes = false;
    state.run.source_bytes.clear();
    state.run.scanned_bytes = {};
    state.run.source = text(source);
    state.run.source += text_crlf;
  });
  if (!done) return std::nullopt;
  return from_utf8(*state.run.result);
}

std::optional<std::string> translate_utf8(engine_state& state, std::string_view schema,
                                          std::string_view source) {
  const bool done = run_translation(state, [&] {
    state.run.schema_text = from_utf8(schema);
    hold_source(state.run, source);
  });
  return finish(state.run, done);
}

std::optional<std::string> translate_utf8_in_place(engine_state& state, std::string_view schema,
                                                   std::string& source) {
  run_state& run = state.run;
  bool lent = false;
  // The host gets its text back as it was, however the run ends, and the run
  // keeps no view of it.
  struct give_back {
    run_state& run;
    std::string& source;
    bool& lent;
    ~give_back() {
      run.scanned_bytes = {};
      if (lent) source.resize(source.size() - text_crlf.size());
    }
  } guard{run, source, lent};
  const bool done = run_translation(state, [&] {
    run.schema_text = from_utf8(schema);
    lent = hold_source_in_place(run, source);
  });
  return finish(run, done);
}

std::optional<text> report_translate_error(engine_state& state, const engine_error& error) {
  text report(text_crlf);
  report += U"in \"translate\" module";
  report += text_crlf;
  report += number_text(error.number());
  report += U" * ";
  report += error.description();
  try {
    send_message(state, report);
  } catch (...) {
    raise_to_host(current_error());
  }
  if (error.number() == error_number::engine || error.number() <= 0) return std::nullopt;
  raise_to_host(error.with_context(U"in \"translate\" module zrcomp.translate "));
}

}  // namespace zr
