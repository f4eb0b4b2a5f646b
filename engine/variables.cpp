#include "engine/variables.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/read_real.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

namespace zr {

namespace {

bool is_blank(char32_t c) {
  return c == U' ' || c == U'\t';
}
bool is_digit(char32_t c) {
  return c >= U'0' && c <= U'9';
}

std::size_t skip_digits(text_view value, std::size_t i) {
  while (i < value.size() && is_digit(value[i]))
    ++i;
  return i;
}

// Halves go to the even neighbour: the default rounding mode of the platform.
double rounded_within(double value, double low, double high) {
  double rounded = std::nearbyint(value);
  // The negated test also catches NaN.
  if (!(rounded >= low && rounded <= high)) raise_platform_error(error_number::overflow);
  return rounded;
}

// A number too large or too small for a 64-bit real: tiny magnitudes read
// as 0, huge ones overflow.
double out_of_range_value(const std::string& digits) {
  std::size_t e = digits.find_first_of("eE");
  bool tiny = e != std::string::npos ? digits[e + 1] == '-'
                                     : digits.find_first_not_of("+-0") == std::string::npos ||
                                           digits[digits.find_first_not_of("+-0")] == '.';
  if (!tiny) raise_platform_error(error_number::overflow);
  return 0;
}

bool is_stack_index(long long i) {
  return i >= 0 && i < stack_size;
}

void check_stack_index(long long i) {
  if (!is_stack_index(i)) raise_engine_error(U"wrong value of stack index=" + number_text(i));
}

text& stack_entry(engine_state& state, long long i) {
  check_stack_index(i);
  return table_value(state, stack_base + i);
}

const text& doubled_macro_escape(const engine_state& state) {
  return state.schema.names.doubled_macro_escape;
}

bool is_macro_letter(char32_t letter) {
  return letter >= static_cast<char32_t>(macro_letter_base) &&
         letter <= static_cast<char32_t>(macro_letter_base + max_streams);
}

}  // namespace

bool is_numeric(text_view value) {
  std::size_t i = 0;
  while (i < value.size() && is_blank(value[i]))
    ++i;
  if (i < value.size() && (value[i] == U'+' || value[i] == U'-')) ++i;
  std::size_t start = i;
  i = skip_digits(value, i);
  std::size_t whole_digits = i - start;
  std::size_t fraction_digits = 0;
  if (i < value.size() && value[i] == U'.') {
    std::size_t fraction = i + 1;
    i = skip_digits(value, fraction);
    fraction_digits = i - fraction;
  }
  if (whole_digits + fraction_digits == 0) return false;
  if (i < value.size() && (value[i] == U'e' || value[i] == U'E')) {
    ++i;
    if (i < value.size() && (value[i] == U'+' || value[i] == U'-')) ++i;
    std::size_t exponent = i;
    i = skip_digits(value, i);
    if (i == exponent) return false;
  }
  while (i < value.size() && is_blank(value[i]))
    ++i;
  return i == value.size();
}

namespace {

// A sign and up to 15 digits alone, the common case (counters, segment
// numbers): read without from_chars, and exact, as every such number is in a
// double. Null for anything else.
std::optional<double> short_whole_number(text_view value) {
  const bool negative = !value.empty() && value[0] == U'-';
  const std::size_t first = !value.empty() && (value[0] == U'+' || negative) ? 1 : 0;
  if (value.size() == first || value.size() - first > 15) return std::nullopt;
  std::int64_t whole = 0;
  for (std::size_t i = first; i < value.size(); ++i) {
    if (value[i] < U'0' || value[i] > U'9') return std::nullopt;
    whole = whole * 10 + (value[i] - U'0');
  }
  const double result = static_cast<double>(whole);
  return negative ? -result : result;
}

}  // namespace

double numeric_value(text_view value) {
  if (std::optional<double> whole = short_whole_number(value)) return *whole;
  if (!is_numeric(value)) raise_platform_error(error_number::type_mismatch);
  // Only ASCII is left once the test passed; read_real reads it whatever the
  // process locale says about decimal points.
  std::string digits;
  for (char32_t c : value)
    if (!is_blank(c)) digits += static_cast<char>(c);
  bool negative = digits[0] == '-';
  std::size_t first = (digits[0] == '+' || negative) ? 1 : 0;
  double result = 0;
  if (read_real(std::string_view(digits).substr(first), result) == std::errc::result_out_of_range)
    result = out_of_range_value(digits);
  return negative ? -result : result;
}

std::int16_t to_int16(double value) {
  return static_cast<std::int16_t>(rounded_within(value, -32768.0, 32767.0));
}

std::int32_t to_int32(double value) {
  return static_cast<std::int32_t>(rounded_within(value, -2147483648.0, 2147483647.0));
}

std::int16_t int16_of_text(text_view value) {
  return to_int16(numeric_value(value));
}

std::int16_t vvv_index(engine_state& state, text_view name) {
  variable_table& table = state.variables;
  const text& doubled = doubled_macro_escape(state);
  if (!doubled.empty() && name.ends_with(doubled)) {
    // Macro variables are reached by arithmetic on the first character.
    // Only the stream letters are accepted, so such a name can never reach
    // the stack or run past the end of the table.
    if (name.size() == doubled.size() || !is_macro_letter(name[0]))
      raise_error(U"macro variable name `" + text(name) +
                      U"` does not begin with a stream letter (" + char_text(macro_letter_base) +
                      U" to " + char_text(macro_letter_base + max_streams) + U") ... ",
                  error_number::index_range);
    return static_cast<std::int16_t>(macro_base + static_cast<int>(name[0]) - macro_letter_base);
  }
  for (std::int16_t i = 0; i <= table.vvv_count; ++i)
    if (table.names[i] == name) return i;
  // The message quotes the macro base, not the bound of the names: callers
  // match this text.
  if (table.vvv_count + 1 >= stack_base)
    raise_engine_error(U"when creating a new variable, end of space =`" + number_text(macro_base) +
                       U"` encountered ...");
  ++table.vvv_count;
  table.names[table.vvv_count] = name;
  table.values[table.vvv_count].clear();
  return table.vvv_count;
}

std::int16_t vvv_index(engine_state& state, text_view name, vvv_slot& slot) {
  const std::uint64_t dialog = state.variables.dialog;
  if (slot.dialog == dialog) return slot.index;
  const std::int16_t index = vvv_index(state, name);
  slot = {dialog, index};
  return index;
}

const text& vvv_value(engine_state& state, text_view name) {
  return table_value(state, vvv_index(state, name));
}

text imbedded_number(engine_state& state, text_view name) {
  const text& value = table_value(state, vvv_index(state, name));
  if (!is_numeric(value))
    raise_engine_error(U"imbedded variable `" + text(name) + U"` is not numeric ... ");
  return number_text(int16_of_text(value));
}

std::int16_t stack_number(engine_state& state, long long i) {
  const text& value = stack_entry(state, i);
  return is_numeric(value) ? int16_of_text(value) : std::int16_t{10};
}

text stack_text(engine_state& state, long long i) {
  return stack_entry(state, i);
}

value_text& table_entry(engine_state& state, long long index) {
  return checked_at(state.variables.values, index);
}

text& table_value(engine_state& state, long long index) {
  return table_entry(state, index).wide();
}

value_text& macro_variable(engine_state& state, char32_t letter) {
  if (!is_macro_letter(letter)) raise_platform_error(error_number::index_range);
  return table_entry(state, macro_base + static_cast<int>(letter) - macro_letter_base);
}

void init_builtin_variables(engine_state& state) {
  variable_table& table = state.variables;
  table.values[0].assign(U"null");
  table.names[0].clear();
  table.names[1] = U"tocken";
  table.names[2] = U"tock";
  table.names[3] = U"ttype";
  for (int n = 0; n <= max_streams; ++n)
    table.names[macro_base + n] = char_text(macro_letter_base + n) + doubled_macro_escape(state);
  table.fff = 0;
  table.sss = 10;
  table.zzz = 10;
  table.names[4] = U"fff";
  table.names[5] = U"sss";
  table.names[6] = U"zzz";
  table.vvv_count = builtin_count;
  ++table.dialog;  // the named variables are forgotten: so are their slots
}

namespace {

// The built-ins mostly hold what the previous statement loaded: only what
// differs is assigned.
void load_value(value_text& entry, text_view value) {
  if (!entry.holds(value)) entry.assign(value);
}

void load_number(value_text& entry, std::int16_t value, loaded_number& loaded) {
  if (loaded.length == 0 || loaded.value != value) {
    loaded.value = value;
    loaded.length = static_cast<std::uint8_t>(number_digits(value, loaded.room).size());
  }
  load_value(entry, loaded.digits());
}

}  // namespace

void load_builtin_variables(engine_state& state) {
  variable_table& table = state.variables;
  load_value(table.values[1], state.run.tocken);
  load_value(table.values[2], state.run.coming_event);
  load_value(table.values[3], token_type_text(state.run.ttype, state.run.ttype_stored));
  load_number(table.values[4], table.fff, table.loaded_numbers[0]);
  load_number(table.values[5], table.sss, table.loaded_numbers[1]);
  load_number(table.values[6], table.zzz, table.loaded_numbers[2]);
}

void store_builtin_variable(engine_state& state, std::int16_t index) {
  variable_table& table = state.variables;
  switch (index) {
    case 1:
      state.run.tocken = table.values[1].wide();
      break;
    case 2:
      state.run.coming_event = table.values[2].wide();
      break;
    case 3: {
      const text& ttype = table.values[3].wide();
      state.run.ttype = token_type_of(ttype);
      if (state.run.ttype == token_type::other) state.run.ttype_stored = ttype;
      break;
    }
    case 4:
      table.fff = int16_of_text(table.values[4].wide());
      break;
    case 5:
      table.sss = int16_of_text(table.values[5].wide());
      break;
    case 6:
      table.zzz = int16_of_text(table.values[6].wide());
      break;
    default:
      raise_platform_error(error_number::index_range);
  }
}

void store_builtin_variables(engine_state& state) {
  for (std::int16_t index = 1; index <= builtin_count; ++index)
    store_builtin_variable(state, index);
}

namespace {

// The lines of the open streams' macro variables (all 30 with the full dump
// on). The count of examined streams stops the walk once it equals the number
// of open streams, so with the full dump on and n streams open only streams
// 1..n are looked at.
void dump_stream_lines(engine_state& state, text& dump) {
  variable_table& table = state.variables;
  const stream_state& streams = state.streams;
  if (streams.open_streams <= 0 && !table.full_dump) return;
  int examined = 0;
  for (int j = 1; j <= max_streams; ++j) {
    if (!streams.stream_open[j] && !table.full_dump) continue;
    const text& content = table.values[macro_base + j].wide();
    if (!content.empty())
      dump += U"macro " + char_text(macro_letter_base + j) + U" = " + content + text(text_crlf);
    if (++examined == streams.open_streams) break;
  }
}

void dump_stack_lines(variable_table& table, text& dump) {
  dump += text_crlf;
  dump += U"full vvv size = " + number_text(vvv_size) + text(text_crlf);
  dump +=
      U"stack = " + number_text(stack_base) + U" - " + number_text(macro_base) + text(text_crlf);
  for (int k = stack_base; k <= macro_base; ++k)
    if (!table.values[k].empty())
      dump += U" vvv(" + number_text(k) + U")=" + table.values[k].wide() + text(text_crlf);
}

}  // namespace

void dump_variables(engine_state& state) {
  if (!state.flags.debug_on) return;
  text dump = U"built-in variables: ";
  dump += text_crlf;
  for (std::int16_t i = 0; i <= state.variables.vvv_count; ++i) {
    text name = state.variables.names[i];
    dump += U"variable " + number_text(i) + U" `" + name + U"` = `" + vvv_value(state, name) +
            U"`" + text(text_crlf);
  }
  dump_stream_lines(state, dump);
  if (state.variables.full_dump) dump_stack_lines(state.variables, dump);
  trace_line(state, dump);
}

}  // namespace zr
