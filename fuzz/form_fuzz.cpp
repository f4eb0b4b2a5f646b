// libFuzzer target: construct_form on fuzzed control segments. The input is a
// list of fields, one a line: first the form's settings (sssstart, tip, round,
// w, h, browser_width, browser_height, exact_grid, bold), then nine fields a
// control (type, name, control text, top, left, height, width, container,
// menu) written to the stack segments 21, 22, ... Inputs of odd length run
// with debug on, so every listing of the layout runs too.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/text.h"
#include "engine/custom_actions.h"
#include "engine/engine_state.h"
#include "engine/variables.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr zr::text_view setting_names[] = {
    U"sssstart",       U"tip",        U"round", U"w", U"h", U"browser_width",
    U"browser_height", U"exact_grid", U"bold"};
constexpr int fields_per_control = 9;
// Offsets of a control's fields in its segment (offset 7 stays empty).
constexpr int field_offsets[fields_per_control] = {0, 1, 2, 3, 4, 5, 6, 8, 9};
constexpr int first_segment = 21;

std::vector<zr::text> lines_of(const zr::text& input) {
  std::vector<zr::text> lines(1);
  for (char32_t c : input) {
    if (c == U'\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}

void write_form(zr::engine_state& state, const std::vector<zr::text>& fields) {
  const std::size_t settings = std::size(setting_names);
  for (std::size_t i = 0; i < settings && i < fields.size(); ++i)
    zr::table_value(state, zr::vvv_index(state, setting_names[i])) = fields[i];
  for (std::size_t i = settings; i < fields.size(); ++i) {
    const std::size_t n = i - settings;
    const long long segment = first_segment + static_cast<long long>(n / fields_per_control);
    // table_value refuses an index past the stack; the form keeps what fit.
    zr::table_value(state, zr::stack_base + 10 * segment + field_offsets[n % fields_per_control]) =
        fields[i];
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > zr::fuzz::max_input) return 0;
  zr::engine_state& state = zr::fuzz::reset_state();
  zr::load_builtin_variables(state);
  state.flags.debug_on = size % 2 == 1;
  try {
    write_form(
        state,
        lines_of(zr::from_utf8(std::string_view(reinterpret_cast<const char*>(data), size))));
  } catch (const zr::engine_error&) {
    // Fields past the stack's end are dropped.
  }
  try {
    zr::construct_form(state);
  } catch (const zr::engine_error&) {
    // A form the layout refuses is an answer too.
  }
  return 0;
}
