// The nest of states of the dialog. Its depth survives from one run to the
// next until the dialog starts again; traces indent by it.
#pragma once

#include <array>
#include <cstdint>

namespace zr {

inline constexpr std::int16_t max_nest = 100;

struct dialog_state {
  std::array<std::int16_t, max_nest + 1> nest_stack{};
  std::int16_t nest = 0;
};

}  // namespace zr
