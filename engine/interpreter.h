// The action interpreter: operator statements over variables and the value
// stack, and command statements that change the token, switch flags and case
// rules, and set the result's header lines.
#pragma once

#include <array>

#include "common/text.h"

namespace zr {

struct engine_state;

struct interpreter_state {
  // The case settings "\\ignore_case" saved: keyword, separator, tocken.
  // Kept from run to run.
  std::array<bool, 3> saved_case_flags{};
};

// Carries the statement out and answers true, or answers false having
// changed nothing when it names no command. A failing statement raises its
// error again with the "error/act" report appended.
bool run_action_statement(engine_state& state, text_view statement);

}  // namespace zr
