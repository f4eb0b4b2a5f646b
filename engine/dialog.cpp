#include "engine/dialog.h"

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/actions.h"
#include "engine/engine_state.h"
#include "engine/host_poll.h"
#include "engine/messages.h"
#include "engine/run.h"
#include "engine/source_view.h"
#include "engine/streams.h"
#include "engine/variables.h"

namespace zr {

// Locators are set at every step: "sv" literals carry their length, which a
// plain U"..." would have counted at run time.
using namespace std::string_view_literals;

namespace {

constexpr std::int32_t step_counter_limit = 2000000000;

text code_of_first(text_view name) {
  return name.empty() ? text() : number_text(static_cast<long long>(name[0]));
}

void count_step(engine_state& state) {
  dialog_state& dialog = state.dialog;
  dialog.step_counter = dialog.step_counter >= step_counter_limit ? 0 : dialog.step_counter + 1;
  if (dialog.suspend_at_step == dialog.step_counter) state.flags.suspended = true;
  if (dialog.resume_at_step == dialog.step_counter) state.flags.suspended = false;
}

void trace_coming_event(const engine_state& state) {
  const run_state& run = state.run;
  trace_nest(state, U"DIALOG " + number_text(state.dialog.step_counter) + U"    nest= ");
  text event = U"    event=`" + run.coming_event + U"`";
  if (!run.coming_event.empty()) event += U"(" + code_of_first(run.coming_event) + U")... ";
  trace(state, event);
  text tocken = U"    tocken=`" + run.tocken + U"`";
  if (!run.tocken.empty()) tocken += U"(" + code_of_first(run.tocken) + U")... ";
  trace(state, tocken);
}

// The state test: the event's header states equal the top of the nest, or
// its deepest header state is the any state. Inline: it runs for every
// candidate row at every step, and the call cost more than the test.
[[gnu::always_inline]] inline bool nest_matches(const engine_state& state, const row_test& row) {
  const dialog_state& dialog = state.dialog;
  const std::int16_t depth = row.nest_depth;
  if (depth > dialog.nest) return false;
  if (checked_at(row.nest_state_index, depth) == builtin_state::any) {
    trace(state, U"event=", state.run.coming_event, U"= found is `any` state ");
    return true;
  }
  for (std::int16_t k = 1; k <= depth; ++k) {
    if (checked_at(row.nest_state_index, k) !=
        checked_at(dialog.nest_stack, dialog.nest - depth + k))
      return false;
  }
  return true;
}

// Whether a candidate row accepts the coming event; its name test has passed
// (it is a row of the coming event's name, or an any event).
bool event_matches(engine_state& state, const row_test& row) {
  const run_state& run = state.run;
  // Most rows are named rows: tested first on their own, they cost a branch
  // that is nearly always taken instead of an indirect jump over the kinds.
  if (row.test == row_test::kind::named) return nest_matches(state, row);
  // Variable events compare the variable's current value and hold in every nest.
  // The variable is looked up (created when new) whatever the coming event
  // is, so variables are created in the order the rows are examined.
  switch (row.test) {
    case row_test::kind::tocken_variable: {
      const text& name = state.schema.events[row.event].event_name;
      const bool same_value = vvv_value(state, name) == run.tocken;
      return run.coming_event == state.schema.names.identifier_event && same_value;
    }
    case row_test::kind::keyword_variable:
      return vvv_value(state, state.schema.events[row.event].event_name) == run.coming_event;
    case row_test::kind::named:  // tested above
      return nest_matches(state, row);
    case row_test::kind::any_event:
      if (!nest_matches(state, row)) return false;
      trace(state, U"any event has been accepted ... ");
      return true;
  }
  return false;
}

// The first event in table order that accepts the coming event; 0 for none.
// Only the rows that could accept its name under the top state are examined,
// in table order: a row left out would fail the name test or the nest test's
// last comparison, neither of which traces anything.
std::int16_t recognize(engine_state& state) {
  const dialog_state& dialog = state.dialog;
  const std::int16_t top =
      dialog.nest >= 1 ? checked_at(dialog.nest_stack, dialog.nest) : static_cast<std::int16_t>(-1);
  const candidate_set* set = state.run.coming_candidates;
  if (!set) set = &candidates_named(state.schema.lookup, state.run.coming_event);
  for (const row_test& row : rows_under(*set, top))
    if (event_matches(state, row)) return row.event;
  return 0;
}

[[noreturn]] void raise_not_understood(const engine_state& state) {
  const run_state& run = state.run;
  const dialog_state& dialog = state.dialog;
  text report = U"TEXT IS NOT UNDERSTOOD: \r\n";
  report += U"event " + number_text(state.schema.events_quantity + 1) + U"`" + run.coming_event +
            U"`(" + code_of_first(run.coming_event) + U" ...) \r\n";
  report += U"is not allowed in the nest: ";
  for (std::int16_t k = 1; k <= dialog.nest; ++k)
    report += checked_at(state.schema.state_name, checked_at(dialog.nest_stack, k)) + U" ";
  report += U"\r\n    tocken=" + run.tocken + U"\r\n\r\n";
  report += U"COMING SOURCE TEXT IS:\r\n\r\n";
  const std::size_t from =
      static_cast<std::size_t>(std::max<std::int64_t>(run.scan_position, 1) - 1);
  read_source(run, [&](auto source) {
    if (from < source.size()) report += text_of(source.substr(from, 200));
  });
  report += U"\r\n ... \r\n\r\n";
  report += U"text position = " + number_text(run.scan_position) + U"\r\n";
  report += U"dialog " + number_text(dialog.step_counter) + U" is terminated ... \r\n\r\n";
  raise_engine_error(report);
}

// Queues the post events so that the first written ends on top: they run in
// their written order, before anything queued earlier.
void queue_post_events(engine_state& state, std::int16_t e) {
  const event_row& row = state.schema.events[e];
  dialog_state& dialog = state.dialog;
  run_state& run = state.run;
  const derived_names& names = state.schema.names;
  const std::int16_t n = row.post_events_quantity;
  if (n <= 0) return;
  const post_event_candidates& post_candidates = checked_at(state.schema.lookup.post_candidates, e);
  if (tracing(state)) trace(state, U"inserting in queue ", number_text(n), U" elements");
  if (dialog.queue_length + n > queue_capacity)
    raise_engine_error(U"not enough space in events queue ... ");
  for (std::int16_t k = n; k >= 1; --k) {
    // Within the capacity checked above.
    const auto q = static_cast<std::int16_t>(dialog.queue_length + (n - k + 1));
    const text& name = checked_at(row.post_event, k);
    text& event = checked_at(dialog.queue_event, q);
    token_type& ttype = checked_at(dialog.queue_ttype, q);
    event = name;
    ttype = token_type::none;
    dialog.queue_candidates[q] = checked_at(post_candidates, k);
    if (state.flags.debug_on) trace_line(state, U"q-element=`" + name + U"`");
    const post_event_kind kind = checked_at(row.post_event_is, k);
    if (kind == post_event_kind::repeat) {
      event = run.coming_event;
      checked_at(dialog.queue_tocken, q) = run.tocken;
      ttype = run.ttype == token_type::none ? token_type::unknown : run.ttype;
      if (ttype == token_type::other) dialog.queue_ttype_stored[q] = run.ttype_stored;
    } else if (kind == post_event_kind::identifier) {
      event = names.identifier_event;  // keeps the token current when it is taken
    }
  }
  dialog.queue_length = static_cast<std::int16_t>(dialog.queue_length + n);
}

void move_nest(engine_state& state, const event_row& row) {
  dialog_state& dialog = state.dialog;
  // Computed left to right in 16 bits, before the depth checks.
  const int nest = static_cast<int>(checked_int16(checked_int16(dialog.nest + row.level) - 1));
  if (nest < 0) raise_engine_error(U"level jupms to low ...");
  if (nest > max_nest) raise_engine_error(U"level jumps to high ... ");
  if (nest + row.post_states_quantity > max_nest)
    raise_engine_error(U"not enough space in array for nested states ...");
  for (std::int16_t k = 1; k <= row.post_states_quantity; ++k) {
    const std::int16_t next = checked_at(row.post_state, k);
    if (next != builtin_state::none) checked_at(dialog.nest_stack, nest + k) = next;
  }
  dialog.nest = static_cast<std::int16_t>(nest + row.post_states_quantity);
  if (state.flags.debug_on) trace_nest(state, U"new nest=");
}

feedback run_step(engine_state& state) {
  dialog_state& dialog = state.dialog;
  run_state& run = state.run;
  const derived_names& names = state.schema.names;
  dialog.locator = U"dialog step start"sv;
  count_step(state);
  wait_for_step(state);
  if (run.coming_event.empty()) raise_engine_error(U"empty coming event name");
  if (state.flags.debug_on) trace_coming_event(state);
  // An end event from the queue ends the dialog; one the tokenizer read from
  // the source is matched like any other event.
  if (state.tokenizer.from_source == token_kind::queued &&
      same_text(run.coming_event, names.end_event)) {
    trace(state, U"end event encountered in Dialog ");
    return {feedback_command::end};
  }
  dialog.locator = U"recognizing event"sv;
  const std::int16_t e = recognize(state);
  if (e == 0) {
    if (same_text(run.coming_event, names.init_event)) return {};
    raise_not_understood(state);
  }
  const event_row& row = state.schema.events[e];
  dialog.locator = U"event is found"sv;
  if (tracing(state)) trace(state, number_text(e), U"event `", run.coming_event, U"`");
  if (row.store_fragment != 0) control_thread(state, row.store_fragment);
  run_event_action(state, e);
  dialog.locator = U"queue building started"sv;
  queue_post_events(state, e);
  move_nest(state, row);
  if (same_text(run.coming_event, names.end_event) ||
      checked_at(dialog.nest_stack, dialog.nest) == builtin_state::end) {
    trace(state, U"end of program encountered in dialog ... ");
    return {feedback_command::end};
  }
  if (!row.feed_back.empty()) trace(state, U"feed back = `", row.feed_back, U"`");
  return row.command;
}

}  // namespace

void trace_nest(const engine_state& state, text_view message) {
  text line(message);
  line += U" ";
  for (std::int16_t k = 1; k <= state.dialog.nest; ++k)
    line += checked_at(state.schema.state_name, checked_at(state.dialog.nest_stack, k)) + U"  ";
  trace_line(state, line);
}

feedback dialog_step(engine_state& state) {
  try {
    const feedback command = run_step(state);
    state.tokenizer.from_source = token_kind::queued;
    state.run.coming_candidates = nullptr;
    return command;
  } catch (...) {
    raise_with_context(state.dialog.locator);
  }
}

}  // namespace zr
