#include "engine/translation_loop.h"

#include <algorithm>

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/growth.h"
#include "engine/dialog.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/host_poll.h"
#include "engine/messages.h"
#include "engine/run.h"
#include "engine/schema_lines.h"
#include "engine/schema_reader.h"
#include "engine/source_view.h"
#include "engine/streams.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"

namespace zr {

// Locators are set at every step: "sv" literals carry their length, which a
// plain U"..." would have counted at run time.
using namespace std::string_view_literals;

namespace {

// The upto command: reads raw source text up to the delimiter (a string
// constant, say) into the token, as an identifier event of type string.
void read_up_to(engine_state& state, char32_t delimiter_code) {
  run_state& run = state.run;
  const text delimiter(1, delimiter_code);
  const std::size_t from = static_cast<std::size_t>(run.scan_position - 1);
  const std::size_t found = read_source(run, [&](auto source) {
    return from <= source.size() ? find_in(source, delimiter, from) : text::npos;
  });
  const std::int64_t p = found == text::npos ? 0 : static_cast<std::int64_t>(found) + 1;
  if (state.flags.debug_on) {
    trace(state,
          U"~~ running \"up to\" pos `" + number_text(p) + U"` limiting by `" + delimiter + U"`");
    trace(state, p > 0 ? read_source(run,
                                     [&](auto source) {
                                       return text_of(source.substr(from, found - from + 1));
                                     })
                       : text());
  }
  if (p < 1) raise_engine_error(U"non-terminated by '" + delimiter + U"' string constant ... ");
  read_source(run,
              [&](auto source) { assign_text(run.tocken, source.substr(from, found - from)); });
  run.coming_event = state.schema.names.identifier_event;
  run.ttype = token_type::string;
  run.scan_position = p + 1;
}

// Carries out a feed back command; true when the loop must end.
bool carry_out_feedback(engine_state& state, feedback step) {
  switch (step.command) {
    case feedback_command::up_to:
      read_up_to(state, static_cast<char32_t>(step.argument));
      return false;
    case feedback_command::unreadable_up_to:
      // Raises the error the command's text gives.
      up_to_delimiter(state.schema.header,
                      checked_at(state.schema.events, step.argument).feed_back);
      return false;
    case feedback_command::indent:
      make_line_prefix(state);
      return false;
    case feedback_command::line_feed:
      print_text(state, text_crlf);
      return false;
    case feedback_command::close_streams:
      close_all_streams(state);
      return false;
    case feedback_command::end:
      return true;
    case feedback_command::none:
      return false;
  }
  return false;
}

void trace_queue(const engine_state& state) {
  const dialog_state& dialog = state.dialog;
  trace(state, U"queue length=" + number_text(dialog.queue_length));
  text queue = U"current queue=";
  for (std::int16_t k = 1; k <= dialog.queue_length; ++k)
    queue += U"'" + checked_at(dialog.queue_event, k) + U"'  ";
  trace(state, queue);
}

// The next event: the top of the queue, or else the tokenizer's next one.
void next_event(engine_state& state) {
  dialog_state& dialog = state.dialog;
  run_state& run = state.run;
  if (dialog.queue_length > 0) {
    const std::int16_t top = dialog.queue_length;
    // The trace shows the queue with its top element still in it.
    if (state.flags.debug_on) trace_queue(state);
    // The taken element's texts are swapped out, not copied: a slot above
    // the queue's length is written again before it is read.
    run.coming_event.swap(checked_at(dialog.queue_event, top));
    run.coming_candidates = dialog.queue_candidates[top];
    // An element without a type carries no token: the current one stays.
    if (checked_at(dialog.queue_ttype, top) != token_type::none) {
      run.tocken.swap(checked_at(dialog.queue_tocken, top));
      run.ttype = dialog.queue_ttype[top];
      if (run.ttype == token_type::other) run.ttype_stored = dialog.queue_ttype_stored[top];
    }
    --dialog.queue_length;
    return;
  }
  if (run.end_of_text)
    raise_engine_error(U"end of text encountered; dialogs has been stopped ... ");
  run.locator = U"before tockenizer call"sv;
  find_tock(state);
}

// The dialog loop: one step per event, each step's feed back command carried
// out, until a step hands over the end command.
void step_dialog_until_end(engine_state& state) {
  for (;;) {
    yield_to_host(state);
    state.run.locator = U"before dialog call"sv;
    if (carry_out_feedback(state, dialog_step(state))) return;
    next_event(state);
  }
}

// A run from a clean state: the schema read and compiled, the source handed
// to the scan, the dialog stepped to its end and the result assembled.
void read_schema_then_run_dialog(engine_state& state) {
  run_state& run = state.run;
  run_init(state);
  run.source_text = run.schema_text;
  state.schema.header.steps_in_schema = false;
  run.phase = run_state::reading::schema;
  read_schema(state);
  if (state.schema.header.debug_dialog) switch_debug_on(state);
  state.flags.suspended = false;
  set_steps(state, state.schema.header.steps_in_dialog);
  // The source is held once: it moves to the text being scanned (one held
  // as bytes stays where it is).
  run.source_text = std::move(run.source);
  // Room for a result half as long again as the source, asked for once: a
  // translation's result is usually about as long as its source, and room
  // never written costs no memory.
  const std::size_t length = read_source(run, [](auto source) { return source.size(); });
  start_result(run, length + length / 2);
  start_text(state);
  run.phase = run_state::reading::source;
  dialog_init(state);
  run.coming_event = state.schema.names.init_event;
  run.tocken = run.script_name;
  step_dialog_until_end(state);
  run.result = assemble_result(state);
}

// Line and column (1-based) of the 0-based position `at` in `source`.
template <class View>
failure_location position_in(View source, std::size_t at, bool in_schema) {
  at = std::min(at, source.size());
  const View before = source.substr(0, at);
  failure_location where;
  where.in_schema = in_schema;
  where.line = 1 + std::count(before.begin(), before.end(), '\n');
  const std::size_t line_start = before.rfind('\n');
  where.column = static_cast<long long>(at - (line_start == View::npos ? 0 : line_start + 1)) + 1;
  return where;
}

}  // namespace

void run_init(engine_state& state) {
  state.flags.debug_on = false;
  state.flags.suspended = false;
  reset_schema_table(state.schema);
  state.reader.word_separator = U',';
  state.reader.consumed = 0;
  state.reader.first_named.clear();
  state.reader.unknown_state_at.reset();
  state.reader.warnings.clear();
  state.variables.full_dump = false;
  run_state& run = state.run;
  run.redirect_line.clear();
  run.reengine_line.clear();
  run.save_line.clear();
  run.result_body.clear();
  run.line_prefix.clear();
  run.result.reset();
  run.failure.reset();
  run.phase = run_state::reading::none;
  run.script_name = U"zorvane-1";
}

void dialog_init(engine_state& state) {
  dialog_state& dialog = state.dialog;
  state.tokenizer.from_source = token_kind::queued;
  state.run.coming_candidates = nullptr;
  // A separator left pending by a run that failed must not open this one.
  state.tokenizer.pending_separator = nullptr;
  dialog.nest_stack[1] = builtin_state::root;
  dialog.nest = 1;
  state.run.scan_position = 1;
  state.run.token_start = 1;
  dialog.step_counter = 0;
  reset_streams(state);
  dialog.queue_length = 0;
  make_line_prefix(state);
  init_builtin_variables(state);
}

// Built in the prefix's own room: the indent command comes at nearly every
// line of a translation.
void make_line_prefix(engine_state& state) {
  text& prefix = state.run.line_prefix;
  prefix.assign(text_crlf);
  for (std::int16_t k = 1; k <= state.dialog.nest; ++k)
    if (checked_at(state.dialog.nest_stack, k) == builtin_state::indent)
      prefix += state.schema.header.indent_body;
}

void compile(engine_state& state) {
  state.run.locator = U"compile start"sv;
  try {
    read_schema_then_run_dialog(state);
  } catch (...) {
    raise_with_context(U"in \"compile\" module\r\nlocator: " + text(state.run.locator));
  }
}

std::vector<failure_location> schema_warnings(const engine_state& state) {
  std::vector<failure_location> warnings;
  for (const auto& [at, message] : state.reader.warnings) {
    warnings.push_back(position_in(text_view(state.run.schema_text), at, true));
    warnings.back().message = message;
  }
  return warnings;
}

failure_location locate_failure(const engine_state& state) {
  const run_state& run = state.run;
  if (run.phase == run_state::reading::source) {
    // The line break translate added is not the user's: a failure at the
    // end of the text points just after the user's last character.
    const std::size_t at = static_cast<std::size_t>(std::max<std::int64_t>(run.token_start, 1) - 1);
    return read_source(run, [&](auto source) {
      const std::size_t user_length = source.size() - std::min<std::size_t>(2, source.size());
      return position_in(source, std::min(at, user_length), false);
    });
  }
  // The reader consumes the schema text from the front: what is left is a
  // suffix of it, and the line being read starts where that suffix starts.
  const std::size_t consumed =
      run.schema_text.size() - std::min(run.schema_text.size(), schema_rest(state).size());
  if (!state.reader.unknown_state_at)
    return position_in(text_view(run.schema_text), consumed, true);
  // States are looked up once the whole schema is read: the error points
  // where the state was named, the note at the line the reader stood on.
  failure_location where =
      position_in(text_view(run.schema_text), *state.reader.unknown_state_at, true);
  const failure_location reader_at = position_in(text_view(run.schema_text), consumed, true);
  where.note_line = reader_at.line;
  where.note_column = reader_at.column;
  where.note = "states are looked up here, when the whole schema has been read";
  return where;
}

}  // namespace zr
