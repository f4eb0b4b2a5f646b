// libFuzzer target: a whole translation of a fuzzed schema and source, so the
// schema compiler, the tokenizer, the dialog and the actions run together. The
// input is the schema, a NUL byte and the source. Inputs of odd length run
// with debug on from the first line, as the command line's --debug does, so
// the traces of the dialog run too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "engine/zrcomp.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = input.find('\0');
  std::string schema = input.substr(0, cut);
  std::string source = cut == std::string::npos ? std::string() : input.substr(cut + 1);
  if (size % 2 == 1) schema = "\\\\debug schema=t\n\\\\debug dialog=t\n" + schema;

  zr::engine_state& state = zr::fuzz::reset_state();
  static zr::zrcomp engine;
  zr::fuzz::run_guard guard;
  zr::set_event_pump([&] {
    if (guard.pass(state)) engine.user_terminated();
  });
  try {
    engine.translate(schema, source);
  } catch (const zr::zrcomp_error&) {
    // Errors other than the engine's own reach the host; that is allowed.
  }
  return 0;
}
