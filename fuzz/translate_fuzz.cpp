// libFuzzer target: a whole translation of a fuzzed schema and source. The
// input is the schema, a NUL byte and the source. A run that takes too many
// yields, or holds too much text, is stopped the way a host stops it: a
// schema may loop forever on purpose (an event that queues itself) or double
// a text at every step (a stream that prints itself into itself).
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "engine/zrcomp.h"

namespace {

class discard_output : public zr::output_object {
 public:
  void writes(const std::string&) override {}
};

constexpr std::size_t max_input = 8192;
constexpr int max_yields = 20000;
constexpr std::size_t max_text = 1 << 20;  // characters in the result and all variables

std::size_t text_held(const zr::engine_state& state) {
  std::size_t held = state.run.result_body.size();
  for (const std::u32string& value : state.variables.values)
    held += value.size();
  return held;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > max_input) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = input.find('\0');
  std::string schema = input.substr(0, cut);
  std::string source = cut == std::string::npos ? std::string() : input.substr(cut + 1);

  static zr::zrcomp engine;
  engine.give_write_method(std::make_shared<discard_output>());
  int yields = 0;
  const zr::engine_state& state = *zr::thread_engine_state();
  zr::set_event_pump([&] {
    if (++yields == max_yields || text_held(state) > max_text) engine.user_terminated();
  });
  try {
    engine.translate(schema, source);
  } catch (const zr::zrcomp_error&) {
    // Errors other than the engine's own reach the host; that is allowed.
  }
  return 0;
}
