// The action interpreter: operator statements over variables and the value
// stack, and command statements that change the token, switch flags and case
// rules, and set the result's header lines.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/text.h"
#include "engine/variables.h"

namespace zr {

struct engine_state;

struct interpreter_state {
  // The case settings "\\ignore_case" saved: keyword, separator, tocken.
  // Kept from run to run.
  std::array<bool, 3> saved_case_flags{};
};

// How operand 2 of an operator statement is written.
enum class operand2_form : std::uint8_t {
  variable,  // a variable's name; fff when operand 2 is missing
  quoted,    // a quoted text, read when the statement runs
  number,    // a number literal, converted when the statement runs
  value,     // a quoted text or number literal whose value was worked out ahead
};

// An operator statement split into its parts: body = operator, name1
// [ "," operand2 ].
struct operator_statement {
  char32_t op = 0;
  text name1;
  operand2_form form = operand2_form::variable;
  text operand2;  // as written, or its value for operand2_form::value
  // The indices of name1 and of a variable operand 2, remembered as the
  // statement runs: a memo of lookups, not part of what the statement says.
  mutable vvv_slot slot1;
  mutable vvv_slot slot2;
};

// Carries the statement out and answers true, or answers false having
// changed nothing when it names no command. A failing statement raises its
// error again with the "error/act" report appended.
bool run_action_statement(engine_state& state, text_view statement);

// Splits an operator statement once, ahead of its runs (when the schema is
// compiled), and works out a literal operand 2 whose reading cannot fail.
// Raises nothing: a command statement and a body that does not split (empty,
// unknown operator) give null, and run from their text, failing as before.
std::optional<operator_statement> read_operator_statement(char32_t external_proc_par,
                                                          text_view statement);

// Runs `statement` as run_action_statement does, from its parts read ahead:
// the same effects, traces and failures.
void run_operator_statement(engine_state& state, text_view statement,
                            const operator_statement& read);

}  // namespace zr
