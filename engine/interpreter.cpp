#include "engine/interpreter.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
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

// A set of ASCII characters, tested in one step at every statement where a
// search of their text would walk it.
class char_set {
 public:
  constexpr explicit char_set(text_view members) {
    for (char32_t c : members)
      bits_[c / 64] |= std::uint64_t{1} << (c % 64);
  }
  constexpr bool has(char32_t c) const { return c < 128 && ((bits_[c / 64] >> (c % 64)) & 1); }

 private:
  std::array<std::uint64_t, 2> bits_{};
};

constexpr char_set operator_characters(U"+-*/%=&[]().:");
constexpr char_set arithmetic_operators(U"+-*/%");
// The operators that change the variable of operand 1; all of them but "&"
// overwrite it.
constexpr char_set destination_changers(U"=+-*/&])");

bool is_operator(char32_t c) {
  return operator_characters.has(c);
}
bool is_arithmetic(char32_t c) {
  return arithmetic_operators.has(c);
}
bool changes_destination(char32_t c) {
  return destination_changers.has(c);
}

// A statement's command and parameter. An operator statement has no command
// and its body as the parameter.
struct statement_parts {
  text_view command;
  text_view parameter;
};

statement_parts split_statement(char32_t external_proc_par, text_view statement) {
  if (!statement.empty() && is_operator(statement[0])) return {{}, statement};
  // Without P the command is the whole statement and the parameter empty.
  std::size_t p = statement.find(external_proc_par);
  if (p == text_view::npos) return {statement, {}};
  return {statement.substr(0, p), statement.substr(p + 1)};
}

// What an operator statement has computed so far; the error report shows it,
// with 0 or empty for what was not reached.
struct operation {
  std::int16_t ix1 = 0;
  // Operand 1 as it was read: the first o1_length characters of its variable
  // where it stands (a concatenation only appends to it; the other operators
  // overwrite it when nothing can fail any more), or o1_kept, a copy taken
  // when a failure can still follow the overwrite: the store of a built-in,
  // the dump while debugging.
  bool o1_read = false;
  std::size_t o1_length = 0;
  bool o1_is_kept = false;
  text o1_kept;
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
  if (op.o1_is_kept) return op.o1_kept;
  if (!op.o1_read) return {};
  return text_view(table_value(state, op.ix1)).substr(0, op.o1_length);
}

text_view operand2(engine_state& state, const operation& op) {
  if (!op.o2_in_place) return op.o2;
  return table_value(state, op.ix2);
}

// A concatenation measures its destination without reading it as text: it
// appends to it in the form it is held in.
void read_operand1(engine_state& state, char32_t op_char, operation& op) {
  if (op_char == U'&') {
    op.o1_length = table_entry(state, op.ix1).size();
  } else {
    const text& value = table_value(state, op.ix1);
    op.o1_length = value.size();
    const bool builtin = op.ix1 >= 1 && op.ix1 <= builtin_count;
    if (changes_destination(op_char) && (builtin || state.flags.debug_on)) {
      op.o1_kept = value;
      op.o1_is_kept = true;
    }
  }
  op.o1_read = true;
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

// The value of a quoted text or a number literal as written.
text literal_value(const operator_statement& statement) {
  if (statement.form == operand2_form::number) return number_literal(statement.operand2);
  std::size_t end = 0;
  return quoted_text(statement.operand2, U'"', end);
}

void resolve_operand2(engine_state& state, const operator_statement& statement, operation& op) {
  switch (statement.form) {
    case operand2_form::value:
      op.o2 = statement.operand2;
      return;
    case operand2_form::quoted:
    case operand2_form::number:
      op.o2_kept = literal_value(statement);
      op.o2 = op.o2_kept;
      return;
    case operand2_form::variable:
      break;
  }
  op.ix2 = vvv_index(state, statement.operand2, statement.slot2);
  if (statement.op == U'&' && op.ix2 != op.ix1) {
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

// --- the operators ---

// The result of an integer operator, written into its destination.
void assign_sum(value_text& destination, long long value) {
  number_room room;
  destination.assign(number_digits(checked_int16(value), room));
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

// Operand 1 is read only by the operators that need it, before they write
// their destination: a concatenation appends to its destination where it
// stands, whatever form it is held in.
void carry_out(engine_state& state, char32_t op_char, const operation& op) {
  value_text& destination = table_entry(state, op.ix1);
  switch (op_char) {
    case U'=':
      destination.assign(op.o2);
      break;
    case U'+':
      assign_sum(destination, int16_of_text(operand1(state, op)) + int16_of_text(op.o2));
      break;
    case U'-':
      assign_sum(destination, int16_of_text(operand1(state, op)) - int16_of_text(op.o2));
      break;
    case U'*':
      assign_sum(destination,
                 static_cast<long long>(int16_of_text(operand1(state, op))) * int16_of_text(op.o2));
      break;
    case U'/': {
      std::int16_t dividend = int16_of_text(operand1(state, op));
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
      stack_element(state, stack_subscript(op.o2)) = operand1(state, op);
      break;
    case U']':
      destination.assign(stack_element(state, stack_subscript(op.o2)));
      break;
    case U'(':
      stack_element(state, stack_offset(state, op.o2)) = operand1(state, op);
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
operator_statement split_body(text_view body) {
  // An operator statement needs at least its operator.
  if (body.empty())
    raise_error(U"an operator statement needs an operator and a variable name ... ",
                error_number::invalid_argument);
  operator_statement statement;
  statement.op = body[0];
  if (!is_operator(statement.op))
    raise_error(U"operator `" + char_text(statement.op) + U"` is not known ... ",
                error_number::invalid_argument);
  text_view rest = body.substr(1);
  std::size_t comma = rest.find(U',');
  statement.name1 = rest.substr(0, comma);
  text_view written = comma == text_view::npos ? text_view() : rest.substr(comma + 1);
  // A missing operand 2 means the built-in variable fff.
  if (written.empty()) written = U"fff";
  if (written[0] == U'"')
    statement.form = operand2_form::quoted;
  else if (written[0] >= U'0' && written[0] <= U'9')
    statement.form = operand2_form::number;
  statement.operand2 = written;
  return statement;
}

// Runs a split statement, once the built-ins are loaded.
void run_operator(engine_state& state, const operator_statement& statement, operation& op) {
  op.ix1 = vvv_index(state, statement.name1, statement.slot1);
  read_operand1(state, statement.op, op);
  resolve_operand2(state, statement, op);
  if (is_arithmetic(statement.op)) {
    if (!is_numeric(op.o2)) raise_engine_error(U"operand 2 =`" + text(op.o2) + U"` is not numeric");
    const text_view o1 = operand1(state, op);
    if (!is_numeric(o1)) raise_engine_error(U"operand 1 =`" + text(o1) + U"` is not numeric");
  }
  if (tracing(state))
    trace(state, state.variables.names[op.ix1], U" = oper1=vvv(", number_text(op.ix1), U")=`",
          operand1(state, op), U"` oper2=`", operand2(state, op), U"` ix2=`", number_text(op.ix2),
          U"`");
  carry_out(state, statement.op, op);
  if (tracing(state)) dump_variables(state);
  // An operator changes its destination or a stack element only: the
  // built-ins hold what was just loaded unless one of them is the
  // destination, and storing the others back would change nothing.
  if (changes_destination(statement.op) && op.ix1 >= 1 && op.ix1 <= builtin_count)
    store_builtin_variable(state, op.ix1);
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

// Runs an operator statement from its body or as read ahead; a failure
// raises its error again with the report.
void run_reported_operator(engine_state& state, text_view statement, text_view body,
                           const operator_statement* read) {
  operation op;
  try {
    load_builtin_variables(state);
    // The dumps are tested for here: a call that finds debug off costs more
    // than the test at every statement.
    if (tracing(state)) dump_variables(state);
    // A statement not read ahead is split now, and fails here when it does
    // not split.
    if (read != nullptr)
      run_operator(state, *read, op);
    else
      run_operator(state, split_body(body), op);
  } catch (...) {
    // A run stopped by its memory bound goes without the report: the report
    // copies the operands, which can be the very texts that filled memory.
    if (state.run.stopping == stop_cause::limit) throw;
    raise_with_report(statement, operation_report(state, statement, op));
  }
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
  const text_view find = text_view(parameter).substr(0, first);
  // Most tokens hold nothing to replace, and stay as they are.
  if (state.run.tocken.find(find) == text::npos) return;
  state.run.tocken = replace_all(state.run.tocken, find,
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

std::optional<operator_statement> read_operator_statement(char32_t external_proc_par,
                                                          text_view statement) {
  const statement_parts parts = split_statement(external_proc_par, statement);
  if (!parts.command.empty()) return std::nullopt;
  operator_statement read;
  try {
    read = split_body(parts.parameter);
  } catch (...) {
    return std::nullopt;  // fails when it runs
  }
  if (read.form == operand2_form::variable) return read;
  try {
    read.operand2 = literal_value(read);
    read.form = operand2_form::value;
  } catch (...) {
    // Left as written: it fails when it runs, after operand 1 is read.
  }
  return read;
}

void run_operator_statement(engine_state& state, text_view statement,
                            const operator_statement& read) {
  run_reported_operator(state, statement, {}, &read);
}

bool run_action_statement(engine_state& state, text_view statement) {
  const auto [command, parameter] =
      split_statement(state.schema.header.external_proc_par, statement);
  if (command.empty()) {
    run_reported_operator(state, statement, parameter, nullptr);
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
