// libFuzzer target: the desktop program's reading of its preferences
// ("prefer.txt") and of its command line. The input is the preferences text,
// a NUL byte and a key name; the whole input is also read as a command line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "frontend/zrmain.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  const std::vector<std::string> parts = zr::fuzz::split_at_nul(data, size);
  const zr::text prefs = zr::from_utf8(parts[0]);
  const zr::text key = parts.size() > 1 ? zr::from_utf8(parts[1]) : zr::text(U"schema=");
  zr::preference(prefs, U"default", key);
  zr::read_command_line(zr::from_utf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  return 0;
}
