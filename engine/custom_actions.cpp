#include "engine/custom_actions.h"

#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

namespace zr {

namespace {

// A console test: the line "hello " and the argument. Debug is off afterwards,
// whatever it was before.
void hello(engine_state& state, text_view argument) {
  state.flags.debug_on = true;
  text line = U"hello ";
  line += argument;
  send_line(state, line);
  state.flags.debug_on = false;
}

}  // namespace

void actc(engine_state& state, text_view statement) {
  const char32_t separator = state.schema.header.external_proc_par;
  std::size_t p = statement.find(separator);
  text_view name = statement.substr(0, p);
  text_view argument = p == text_view::npos ? text_view() : statement.substr(p + 1);
  if (name == U"hello") {
    hello(state, argument);
    return;
  }
  text message = U"custom action `";
  message += statement;
  message += U"` found in schema does not exist ...";
  raise_engine_error(message);
}

}  // namespace zr
