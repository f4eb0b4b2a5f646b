// The controls and windows of the front end, generated from the one table in
// controls.def: the enum, every control in order, each control's name and
// the caption it starts with.
#pragma once

#include <array>
#include <optional>

#include "common/text.h"

namespace zr {

// The controls and windows the logic names.
enum class control {
#define ZR_CONTROL(name, kind, caption) name,
#include "frontend/controls.def"
#undef ZR_CONTROL
};

// Every control, in the order of the enum.
inline constexpr std::array all_controls{
#define ZR_CONTROL(name, kind, caption) control::name,
#include "frontend/controls.def"
#undef ZR_CONTROL
};

// The control's name as the enumerator spells it, which is also its widget's
// object name; empty for a value outside the table.
const char* control_name(control which);

// The caption the logic gives the control when the window is created; none
// for a control without a fixed caption or a value outside the table.
std::optional<text_view> fixed_caption(control which);

}  // namespace zr
