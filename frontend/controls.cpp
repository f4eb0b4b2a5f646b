#include "frontend/controls.h"

namespace zr {

namespace {

// The caption column's marker for a control without a fixed caption.
constexpr std::optional<text_view> no_caption;

}  // namespace

const char* control_name(control which) {
  switch (which) {
#define ZR_CONTROL(name, kind, caption) \
  case control::name:                   \
    return #name;
#include "frontend/controls.def"
#undef ZR_CONTROL
  }
  return "";
}

std::optional<text_view> fixed_caption(control which) {
  switch (which) {
#define ZR_CONTROL(name, kind, caption) \
  case control::name:                   \
    return caption;
#include "frontend/controls.def"
#undef ZR_CONTROL
  }
  return std::nullopt;
}

}  // namespace zr
