// The run variables that every stage of a translation shares, the yield point
// where the host regains control, the step pause of step mode, printing into
// the result and the layout of the result text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"
#include "engine/tokenizer.h"
#include "engine/zrcomp.h"

namespace zr {

struct candidate_set;
struct engine_state;

struct run_state {
  text schema_text;  // as given to translate
  text source;       // as given to translate, with CR LF added
  // A source given as UTF-8 that is ASCII alone is held as its bytes instead,
  // with CR LF added: the same characters at the same positions, in a quarter
  // of the memory (see source_view.h).
  std::string source_bytes;
  bool source_in_bytes = false;
  // The bytes being scanned when the source is held as bytes: source_bytes,
  // or the host's own string when it lends it for the run (see
  // translate_utf8_in_place). Empty outside a run.
  std::string_view scanned_bytes;
  text source_text;  // the text being scanned: schema, then source (unless held as bytes)
  std::int64_t scan_position = 1;  // 1-based position of the next character
  std::int64_t token_start = 1;    // 1-based position where the current token starts
  std::int64_t text_length = 0;
  bool end_of_text = false;
  text coming_event;
  // The rows the coming event is tried against, when whoever set the event
  // knew them (the tokenizer's look-up, a post event's name resolved when
  // the schema was compiled); null: the dialog looks them up by the event's
  // name. Cleared after every step.
  const candidate_set* coming_candidates = nullptr;
  text tocken;
  token_type ttype = token_type::none;
  text ttype_stored;  // the type's text when it is token_type::other
  text script_name = U"zorvane-1";
  text line_prefix;
  // The result as it grows, in UTF-8: a quarter of the memory of engine text.
  std::string result_body;
  text redirect_line;
  text reengine_line;
  text save_line;
  text_view locator;                  // the run loop's stage, for error reports; always a literal
  std::optional<std::string> result;  // the final result of a successful run, UTF-8
  // Which text the run is reading, for the location of a failure.
  enum class reading { none, schema, source } phase = reading::none;
  std::optional<failure_location> failure;  // where the last failed run stopped
  std::optional<error_report> error;        // the last failed run's error
  // Why the error now raised is raised: set just before a stop by the host or
  // by a limit, so the report can say the run was stopped, not failed.
  stop_cause stopping = stop_cause::error;
};

// Appends the pending line prefix and `printed` to the result body; with
// "print while processing" on, also sends it to the host's console.
// `printed_utf8`, when not empty, is `printed` encoded beforehand.
void print_text(engine_state& state, text_view printed, std::string_view printed_utf8 = {});
// Appends the pending line prefix to the result body and clears it: the
// start of every print into the result.
void print_line_prefix(engine_state& state);

// Makes the result body the room of the three empty header lines, with
// space for `expected` bytes after it asked for once: the body is printed
// after the room, and the result is built in place.
void start_result(run_state& run, std::size_t expected);

// The result in UTF-8: redirect, reengine and save lines, each ended by LF,
// then the body printed since start_result. The body is moved into the
// result, not copied: it is left empty. Empty header lines fill their room
// as they stand; header lines that a statement set take it over, which moves
// the body once.
std::string assemble_result(engine_state& state);

}  // namespace zr
