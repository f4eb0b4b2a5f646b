#include "engine/messages.h"

#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"

namespace zr {

void send_message(const engine_state& state, text_view message) {
  if (message.empty()) return;
  if (!state.output) raise_platform_error(error_number::missing_object);
  try {
    state.output->writes(to_utf8(message));
  } catch (const zrcomp_error& e) {
    // The host raised its own error: keep its number and description.
    raise_error(from_utf8(e.description()), e.number());
  }
}

void send_line(const engine_state& state, text_view line) {
  text message(line);
  message += text_crlf;
  send_message(state, message);
}

void debug_line(const engine_state& state, text_view line) {
  if (state.flags.debug_on) send_line(state, line);
}

void print_indented(const engine_state& state, text_view line) {
  for (int level = 1; level <= state.dialog.nest; ++level)
    send_message(state, U"  ");
  send_line(state, line);
}

void trace_line(const engine_state& state, text_view line) {
  send_message(state, U"\t\t\t. ");
  print_indented(state, line);
}

}  // namespace zr
