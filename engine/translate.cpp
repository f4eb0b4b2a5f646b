#include "engine/translate.h"

#include "common/easylife.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

namespace zr {

namespace {

[[noreturn]] void raise_to_host(const engine_error& error) {
  throw zrcomp_error(error.number(), to_utf8(error.description()));
}

}  // namespace

std::optional<text> translate(engine_state& state, text_view schema, text_view source) {
  try {
    state.run.schema_text = text(schema);
    state.run.source = text(source);
    state.run.source += text_crlf;
    compile(state);
    return state.run.result;
  } catch (...) {
    return report_translate_error(state, current_error());
  }
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
