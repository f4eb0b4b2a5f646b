// The message channel to the host. Every message reaches the host through
// output_object::writes.
#pragma once

#include "common/text.h"
#include "engine/engine_state.h"

namespace zr {

// Calls the host's writes with the text; nothing for an empty text. Raises
// the missing-object error when no output object was given; an error the
// host's writes raises ends the run the same way.
void send_message(const engine_state& state, text_view message);
// send_message of the text followed by CR LF.
void send_line(const engine_state& state, text_view line);
// send_line while debug is on.
void debug_line(const engine_state& state, text_view line);
// Two blanks per nest level 1..nest, each a write of its own, then the text
// and CR LF.
void print_indented(const engine_state& state, text_view line);
// Three tabs and ". ", then print_indented: 2 + nest writes in all.
void trace_line(const engine_state& state, text_view line);
// Whether debug output is on. Asked many times a step: inline.
inline bool tracing(const engine_state& state) {
  return state.flags.debug_on;
}
// trace_line of the parts joined.
template <class... Parts>
[[gnu::cold, gnu::noinline]] void trace_joined(const engine_state& state, const Parts&... parts) {
  text line;
  (line += ... += parts);
  trace_line(state, line);
}
// trace_line of the parts joined, while debug is on. The parts are joined
// only then, out of line: while debug is off a trace is one test of a flag
// where it stands, and the dialog passes several at every step.
template <class... Parts>
void trace(const engine_state& state, const Parts&... parts) {
  if (tracing(state)) trace_joined(state, parts...);
}

}  // namespace zr
