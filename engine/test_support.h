// Shared fixtures for the engine's tests: an output object that records every
// write, and a fresh engine state wired to it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/errors.h"
#include "engine/engine_state.h"

namespace zr {

class recording_output : public output_object {
 public:
  void writes(const std::string& message) override { calls.push_back(message); }
  std::string joined() const {
    std::string all;
    for (const std::string& call : calls)
      all += call;
    return all;
  }
  std::vector<std::string> calls;
};

// A fresh engine state (not the thread's) whose messages go to `output`.
inline std::unique_ptr<engine_state> make_test_state(std::shared_ptr<recording_output>& output) {
  auto state = std::make_unique<engine_state>();
  output = std::make_shared<recording_output>();
  state->output = output;
  return state;
}

}  // namespace zr
