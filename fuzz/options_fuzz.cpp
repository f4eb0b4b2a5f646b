// libFuzzer target: zrtranslate's option parsing. The input is the argument
// list after the program name, the arguments separated by NUL bytes. A parsed
// command line also gets its directive prefix, as the host builds it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  const std::vector<std::string> args = zr::fuzz::split_at_nul(data, size);
  std::string error;
  if (std::optional<zr::cli_options> options = zr::parse_options(args, error)) {
    zr::directive_prefix(*options);
    zr::prefix_lines(*options);
  }
  return 0;
}
