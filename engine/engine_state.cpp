#include "engine/engine_state.h"

namespace zr {

std::shared_ptr<engine_state> thread_engine_state() {
  thread_local std::shared_ptr<engine_state> state = std::make_shared<engine_state>();
  return state;
}

}  // namespace zr
