// libFuzzer target: one action statement (an operator statement, a command or
// a custom action) against a prepared variable table and value stack: named
// variables holding numbers and texts, and the current segment's elements
// filled. Inputs of odd length run with debug on, so the traces run too.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "common/errors.h"
#include "common/text.h"
#include "engine/custom_actions.h"
#include "engine/engine_state.h"
#include "engine/interpreter.h"
#include "engine/variables.h"
#include "fuzz/fuzz_support.h"

namespace {

// The thread's state as a dialog step leaves it before an action runs.
zr::engine_state& prepared_state() {
  zr::engine_state& state = zr::fuzz::reset_state();
  const std::pair<zr::text_view, zr::text_view> named[] = {
      {U"x", U"ex"},   {U"n", U"5"},    {U"f", U"-2.5"},      {U"big", U"32767"},
      {U"a..", U"ab"}, {U"tip", U"12"}, {U"sssstart", U"11"}, {U"e", U""}};
  for (const auto& [name, value] : named)
    zr::table_value(state, zr::vvv_index(state, name)) = value;
  // Segment sss (10) and the two after it: numbers, texts and empty elements.
  for (int k = 0; k < 30; ++k)
    zr::table_value(state, zr::stack_base + 100 + k) = k % 3 == 0 ? zr::number_text(k)
                                                       : k % 3 == 1
                                                           ? zr::text(U"s") + zr::number_text(k)
                                                           : U"";
  zr::load_builtin_variables(state);
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  zr::engine_state& state = prepared_state();
  state.flags.debug_on = size % 2 == 1;
  const zr::text statement =
      zr::from_utf8(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    // The action dispatcher's order: the interpreter first, then the custom
    // actions for a statement it does not know.
    if (!zr::run_action_statement(state, statement)) zr::actc(state, statement);
  } catch (const zr::engine_error&) {
    // A refused statement is an answer too.
  }
  return 0;
}
