#include "engine/interpreter.h"

#include <cfloat>
#include <cmath>
#include <functional>
#include <map>

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/growth.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/messages.h"
#include "engine/variables.h"

namespace zr {

namespace {

constexpr text_view operator_characters = U"+-*/%=&[]().:";

bool is_operator(char32_t c) {
  return operator_characters.find(c) != text_view::npos;
}
bool is_arithmetic(char32_t c) {
  return text_view(U"+-*/%").find(c) != text_view::npos;
}

// What an operator statement has computed so far; the error report shows it,
// with 0 or empty for what was not reached.
struct operation {
  char32_t op = 0;
  text name1;
  text operand2_text;
  std::int16_t ix1 = 0;
  // Operand 1. A concatenation appends to it in place and does not copy it:
  // it stays the first o1_length characters of the variable.
  text o1;
  bool o1_in_place = false;
  std::size_t o1_length = 0;
  // Operand 2 refers to a variable's value where it stands, or to o2_kept: a
  // literal's value, or a copy when operand 1 is the same variable (the
  // operation changes it). A concatenation of another variable reads it
  // where it stands, in the form it is held in (o2_in_place): a collected
  // stream held as bytes is appended without being turned into text.
  text_view o2;
  text o2_kept;
  bool o2_in_place = false;
  std::int16_t ix2 = 0;
};

text_view operand1(engine_state& state, const operation& op) {
  if (!op.o1_in_place) return op.o1;
  return text_view(table_value(state, op.ix1)).substr(0, op.o1_length);
}

text_view operand2(engine_state& state, const operation& op) {
  if (!op.o2_in_place) return op.o2;
  return table_value(state, op.ix2);
}

// --- operand 2 ---

// A number literal: the last character picks the conversion of what stands
// before it; without a conversion suffix the literal is kept as written.
text number_literal(text_view literal) {
  char32_t suffix = literal.back();
  text_view number = literal.substr(0, literal.size() - 1);
  switch (suffix) {
    case U'#':
      return real_text(numeric_value(number), 15);
    case U'!': {
      double value = numeric_value(number);
      if (std::fabs(value) > FLT_MAX) raise_platform_error(error_number::overflow);
      return real_text(static_cast<float>(value), 7);
    }
    case U'&':
      return number_text(to_int32(numeric_value(number)));
    case U'%':
      return number_text(int16_of_text(number));
    default:
      return text(literal);
  }
}

void resolve_operand2(engine_state& state, operation& op) {
  text_view written = op.operand2_text;
  // A missing operand 2 means the built-in variable fff.
  if (written.empty()) written = U"fff";
  if (written[0] == U'"') {
    std::size_t end = 0;
    op.o2_kept = quoted_text(written, U'"', end);
    op.o2 = op.o2_kept;
  } else if (written[0] >= U'0' && written[0] <= U'9') {
    op.o2_kept = number_literal(written);
    op.o2 = op.o2_kept;
  } else {
    op.ix2 = vvv_index(state, written);
    if (op.op == U'&' && op.ix2 != op.ix1) {
      table_entry(state, op.ix2);  // checks the index
      op.o2_in_place = true;
      return;
    }
    const text& value = table_value(state, op.ix2);
    if (op.ix2 == op.ix1) {
      // A copy the size of the variable: it counts against the memory bound.
      charge_growth(value.size() * sizeof(char32_t), value.size() * sizeof(char32_t));
      op.o2_kept = value;
      op.o2 = op.o2_kept;
    } else {
      op.o2 = value;
    }
  }
}

// --- the operators ---

text sum_text(long long value) {
  return number_text(checked_int16(value));
}

// Absolute stack index of "[" and "]".
long long stack_subscript(text_view o2) {
  if (!is_numeric(o2))
    raise_engine_error(U"stack subsript `" + text(o2) + U"` is not numeric ... ");
  long long s = int16_of_text(o2);
  if (s < 0 || s >= stack_size)
    raise_engine_error(U"stack subsript `" + text(o2) + U"` is out of limits ... ");
  return s;
}

// Stack index of "(" and ")": an offset into the current segment.
long long stack_offset(const engine_state& state, text_view o2) {
  if (!is_numeric(o2)) raise_engine_error(U"stack offset `" + text(o2) + U"` is not numeric ... ");
  long long f = int16_of_text(o2);
  const variable_table& table = state.variables;
  if (f >= table.zzz || f < 0)
    raise_engine_error(U"stack offset `" + text(o2) + U"` is out of limits ... ");
  // The index is a 16-bit number: a larger one overflows before it is checked.
  const long long s = checked_int16(static_cast<long long>(table.sss) * table.zzz + f);
  if (s >= stack_size || s < 0)
    raise_engine_error(U"stack subsript `" + number_text(s) + U"` is out of limits ... ");
  return s;
}

text& stack_element(engine_state& state, long long s) {
  return table_value(state, stack_base + s);
}

// Operand 1 is read only by the operators that need it: a concatenation
// appends to its destination where it stands, whatever form it is held in.
void carry_out(engine_state& state, const operation& op) {
  value_text& destination = table_entry(state, op.ix1);
  switch (op.op) {
    case U'=':
      destination.assign(op.o2);
      break;
    case U'+':
      destination.assign(sum_text(int16_of_text(op.o1) + int16_of_text(op.o2)));
      break;
    case U'-':
      destination.assign(sum_text(int16_of_text(op.o1) - int16_of_text(op.o2)));
      break;
    case U'*':
      destination.assign(
          sum_text(static_cast<long long>(int16_of_text(op.o1)) * int16_of_text(op.o2)));
      break;
    case U'/': {
      std::int16_t dividend = int16_of_text(op.o1);
      std::int16_t divisor = int16_of_text(op.o2);
      if (divisor == 0) raise_platform_error(error_number::division_by_zero);
      destination.assign(real_text(static_cast<double>(dividend) / divisor, 15));
      break;
    }
    case U'&':
      if (op.o2_in_place)
        table_entry(state, op.ix2).read([&](auto more) { destination.append(more); });
      else
        destination.append(op.o2);
      break;
    case U'[':
      stack_element(state, stack_subscript(op.o2)) = op.o1;
      break;
    case U']':
      destination.assign(stack_element(state, stack_subscript(op.o2)));
      break;
    case U'(':
      stack_element(state, stack_offset(state, op.o2)) = op.o1;
      break;
    case U')':
      destination.assign(stack_element(state, stack_offset(state, op.o2)));
      break;
    default:
      // "%", "." and ":" store nothing.
      break;
  }
}

// body = operator, name1 [ "," operand2 ]
void split_body(text_view body, operation& op) {
  // An operator statement needs at least its operator.
  if (body.empty())
    raise_error(U"an operator statement needs an operator and a variable name ... ",
                error_number::invalid_argument);
  op.op = body[0];
  if (!is_operator(op.op))
    raise_error(U"operator `" + char_text(op.op) + U"` is not known ... ",
                error_number::invalid_argument);
  text_view rest = body.substr(1);
  std::size_t comma = rest.find(U',');
  op.name1 = rest.substr(0, comma);
  if (comma != text_view::npos) op.operand2_text = rest.substr(comma + 1);
}

void run_operator(engine_state& state, text_view body, operation& op) {
  load_builtin_variables(state);
  dump_variables(state);
  split_body(body, op);
  op.ix1 = vvv_index(state, op.name1);
  if (op.op == U'&') {
    op.o1_in_place = true;
    op.o1_length = table_entry(state, op.ix1).size();
  } else {
    op.o1 = table_value(state, op.ix1);
  }
  resolve_operand2(state, op);
  if (is_arithmetic(op.op)) {
    if (!is_numeric(op.o2)) raise_engine_error(U"operand 2 =`" + text(op.o2) + U"` is not numeric");
    if (!is_numeric(op.o1)) raise_engine_error(U"operand 1 =`" + op.o1 + U"` is not numeric");
  }
  if (tracing(state))
    trace(state, state.variables.names[op.ix1], U" = oper1=vvv(", number_text(op.ix1), U")=`",
          operand1(state, op), U"` oper2=`", operand2(state, op), U"` ix2=`", number_text(op.ix2),
          U"`");
  carry_out(state, op);
  dump_variables(state);
  // An operator stores into its destination or a stack element only: the
  // built-ins hold what was just loaded unless one of them is the
  // destination, and storing them back would change nothing.
  if (op.ix1 >= 1 && op.ix1 <= builtin_count) store_builtin_variables(state);
}

// The detail lines of an operator statement's error report. The stack lines
// read the current segment's first ten elements without failing: a segment
// outside the stack shows empty elements.
text operation_report(engine_state& state, text_view statement, const operation& op) {
  variable_table& table = state.variables;
  text report = U"operation=" + text(statement.substr(0, 1)) + text(text_crlf);
  report += U"operand 1=vvv(" + number_text(op.ix1) + U")=`" + text(operand1(state, op)) +
            U"` oper2=`" + text(operand2(state, op)) + U"` ix2=`" + number_text(op.ix2) + U"`" +
            text(text_crlf);
  report += U"segment=" + number_text(table.sss) + U"   offset=" + number_text(table.fff) +
            text(text_crlf);
  long long segment = static_cast<long long>(table.sss) * table.zzz;
  for (int k = 0; k <= 9; ++k) {
    long long s = segment + k;
    text element = (s >= 0 && s < stack_size) ? table.values[stack_base + s].wide() : text();
    report += U" stack element(" + number_text(k) + U")=`" + element + U"`" + text(text_crlf);
  }
  return report;
}

[[noreturn]] void raise_with_report(text_view statement, text_view detail) {
  raise_with_context(U"error/act" + text(text_crlf) + U"statement in progress=`" + text(statement) +
                     U"`" + text(text_crlf) + text(detail));
}

// --- command statements ---

using command_action = std::function<void(engine_state&, const text&)>;

bool t_flag(const text& parameter) {
  return !parameter.empty() && (parameter[0] == U'T' || parameter[0] == U't');
}

void replace_in_tocken(engine_state& state, const text& parameter) {
  // The separator is always "#", whatever the external proc par is.
  std::size_t first = parameter.find(U'#');
  if (first == text::npos) return;
  std::size_t second = parameter.find(U'#', first + 1);
  if (second == text::npos) return;
  state.run.tocken = replace_all(state.run.tocken, text_view(parameter).substr(0, first),
                                 text_view(parameter).substr(first + 1, second - first - 1));
}

// Looked up by a view of the statement: std::less<> compares without a copy.
const std::map<text, command_action, std::less<>>& commands() {
  static const std::map<text, command_action, std::less<>> table = {
      {U"\\\\tocken_case_insensetive",
       [](engine_state& s, const text& p) { s.schema.header.tocken_case_insensetive = t_flag(p); }},
      {U"\\\\keyword_case_insensetive",
       [](engine_state& s, const text& p) {
         s.schema.header.keyword_case_insensetive = t_flag(p);
       }},
      {U"\\\\separator_case_insensetive",
       [](engine_state& s, const text& p) {
         s.schema.header.separator_case_insensetive = t_flag(p);
       }},
      {U"\\\\indent body=",
       [](engine_state& s, const text& p) {
         s.schema.header.indent_body = replace_all(p, U"_", U" ");
       }},
      {U"\\\\ignore_case",
       [](engine_state& s, const text&) {
         header_settings& h = s.schema.header;
         s.interpreter.saved_case_flags = {h.keyword_case_insensetive, h.separator_case_insensetive,
                                           h.tocken_case_insensetive};
         h.keyword_case_insensetive = h.separator_case_insensetive = h.tocken_case_insensetive =
             false;
       }},
      {U"\\\\restore_case",
       [](engine_state& s, const text&) {
         header_settings& h = s.schema.header;
         const auto& saved = s.interpreter.saved_case_flags;
         h.keyword_case_insensetive = saved[0];
         h.separator_case_insensetive = saved[1];
         h.tocken_case_insensetive = saved[2];
       }},
      {U"tocken", [](engine_state& s, const text& p) { s.run.tocken = p + s.run.tocken; }},
      {U"_tocken", [](engine_state& s, const text& p) { s.run.tocken = p + s.run.tocken; }},
      {U"tocken_", [](engine_state& s, const text& p) { s.run.tocken += p; }},
      {U"_tocken_", [](engine_state& s, const text& p) { s.run.tocken = p + s.run.tocken + p; }},
      {U"tocken_i",
       [](engine_state& s, const text& p) {
         if (s.run.ttype == token_type::identifier) s.run.tocken = p + s.run.tocken;
       }},
      {U"tocken_i_",
       [](engine_state& s, const text& p) {
         if (s.run.ttype == token_type::identifier) s.run.tocken += p;
       }},
      {U"save", [](engine_state& s, const text&) { s.run.save_line = U".,"; }},
      {U"reengine", [](engine_state& s, const text& p) { s.run.reengine_line = p + U","; }},
      {U"redirect", [](engine_state& s, const text& p) { s.run.redirect_line = p; }},
      {U"debug", [](engine_state& s, const text&) { switch_debug_on(s); }},
      {U"debugoff", [](engine_state& s, const text&) { s.flags.debug_on = false; }},
      {U"pdebug",
       [](engine_state& s, const text&) {
         s.variables.full_dump = true;
         switch_debug_on(s);
       }},
      {U"pdeboff", [](engine_state& s, const text&) { s.variables.full_dump = false; }},
      {U"stope", [](engine_state&, const text& p) { raise_engine_error(p); }},
      {U"suspend", [](engine_state& s, const text&) { s.flags.suspended = true; }},
      {U"resumed", [](engine_state& s, const text&) { s.flags.suspended = false; }},
      {U"suspend_at", [](engine_state& s,
                         const text& p) { s.dialog.suspend_at_step = to_int32(numeric_value(p)); }},
      {U"resumed_at", [](engine_state& s,
                         const text& p) { s.dialog.resume_at_step = to_int32(numeric_value(p)); }},
      {U"replace_in_tocken", replace_in_tocken},
  };
  return table;
}

}  // namespace

bool run_action_statement(engine_state& state, text_view statement) {
  text_view command;
  text_view parameter;
  if (!statement.empty() && is_operator(statement[0])) {
    parameter = statement;  // the body: the whole statement
  } else {
    // Without P the command is the whole statement and the parameter empty.
    std::size_t p = statement.find(state.schema.header.external_proc_par);
    command = statement.substr(0, p);
    if (p != text_view::npos) parameter = statement.substr(p + 1);
  }

  if (command.empty()) {
    operation op;
    try {
      run_operator(state, parameter, op);
    } catch (...) {
      // A run stopped by its memory bound goes without the report: the report
      // copies the operands, which can be the very texts that filled memory.
      if (state.run.stopping == stop_cause::limit) throw;
      raise_with_report(statement, operation_report(state, statement, op));
    }
    return true;
  }

  auto found = commands().find(command);
  if (found == commands().end()) return false;
  try {
    found->second(state, text(parameter));
  } catch (...) {
    raise_with_report(statement, U" action=" + text(command) + text(text_crlf) + U" parameter=`" +
                                     text(parameter) + U"`");
  }
  return true;
}

}  // namespace zr
