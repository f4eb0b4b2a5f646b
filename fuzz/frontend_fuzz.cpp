// libFuzzer target: the desktop program's reading of its preferences
// ("prefer.txt") and of its command line. The input is the preferences text,
// a NUL byte and a key name; its NUL-separated parts are also read as the
// program's arguments.
#include <cstddef>
#include <cstdint>
#include <string>
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
  std::vector<zr::text> arguments;
  for (const std::string& part : parts)
    arguments.push_back(zr::from_utf8(part));
  zr::read_command_line(arguments);
  return 0;
}
