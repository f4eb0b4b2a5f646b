// libFuzzer target: the schema compiler alone (header directives, the schema
// loop, registration and indexing) on a fuzzed schema text, with debug on so
// every trace and dump of the compiler runs too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/errors.h"
#include "common/text.h"
#include "engine/engine_state.h"
#include "engine/schema_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  zr::engine_state& state = zr::fuzz::reset_state();
  state.run.source_text =
      zr::from_utf8(std::string_view(reinterpret_cast<const char*>(data), size));
  state.flags.debug_on = true;
  zr::fuzz::run_guard guard;
  state.event_pump = [&] {
    if (guard.pass(state)) state.flags.terminate_requested = true;
  };
  try {
    zr::read_schema(state);
  } catch (const zr::engine_error&) {
    // A schema the compiler refuses is an answer too.
  }
  return 0;
}
