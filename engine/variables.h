// The variable table vvv: one fixed table of name/value texts in four regions
// (built-ins 1..6, named variables 7..199, the value stack 200..2999, the
// macro variables of the streams 3000..3030), the stack's segment addressing
// and the numeric texts of the action language.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/text.h"
#include "engine/value_text.h"

namespace zr {

struct engine_state;

inline constexpr std::int16_t vvv_size = 3030;         // highest index of the table
inline constexpr std::int16_t stack_base = 200;        // stack index 0; bound of the names
inline constexpr std::int16_t macro_base = 3000;       // macro variable of stream 0
inline constexpr std::int16_t max_streams = 30;        // streams 0..30 have macro variables
inline constexpr std::int16_t macro_letter_base = 96;  // letter code of stream 0
inline constexpr std::int16_t stack_size = macro_base - stack_base;  // 2800 elements
inline constexpr std::int16_t builtin_count = 6;  // tocken, tock, ttype, fff, sss, zzz: 1..6

// A built-in number as the last load wrote it out: a load that finds the
// number unchanged compares its entry with these digits and does not write
// them again.
struct loaded_number {
  std::int16_t value = 0;
  std::uint8_t length = 0;  // 0: not written yet
  number_room room{};       // the digits end the room
  text_view digits() const { return {room.data() + room.size() - length, length}; }
};

struct variable_table {
  std::vector<text> names = std::vector<text>(vvv_size + 1);
  std::vector<value_text> values = std::vector<value_text>(vvv_size + 1);
  std::int16_t vvv_count = 0;
  // The engine state the built-ins 4..6 mirror.
  std::int16_t fff = 0;
  std::int16_t sss = 10;
  std::int16_t zzz = 10;
  bool full_dump = false;                         // set by "pdebug", read by dump_variables
  std::array<loaded_number, 3> loaded_numbers{};  // fff, sss, zzz
  // Counts the dialog starts (init_builtin_variables): within one dialog a
  // name's index never changes, as names are only ever added.
  std::uint64_t dialog = 1;
};

// A variable's index remembered for the dialog it was looked up in.
struct vvv_slot {
  std::uint64_t dialog = 0;  // 0: nothing remembered
  std::int16_t index = 0;
};

// --- numeric texts (one routine for the whole action language) ---

// Optional blanks or tabs, optional sign, digits with an optional fraction
// (or a fraction alone), optional exponent, optional blanks or tabs.
bool is_numeric(text_view value);
// The number a numeric text stands for; raises the type-mismatch error for a
// text that is not numeric.
double numeric_value(text_view value);
// Rounds to the nearest integer, halves to the even neighbour; raises the
// overflow error outside -32768..32767.
std::int16_t to_int16(double value);
// numeric_value then to_int16.
std::int16_t int16_of_text(text_view value);
// Rounds as to_int16; raises the overflow error outside the 32-bit range.
std::int32_t to_int32(double value);

// --- the table ---

// Index of a variable. A name ending in the doubled macro escape addresses a
// stream's macro variable by arithmetic (letters with codes 96..126 only;
// any other raises the index-range error); other names are searched in
// 0..vvv_count and created on first use ("when creating a new variable, end
// of space =`3000` encountered ..." past index 199).
std::int16_t vvv_index(engine_state& state, text_view name);
// vvv_index, remembered in `slot` for the rest of the dialog: a statement
// that runs again finds its variables without a search. A failed lookup is
// not remembered.
std::int16_t vvv_index(engine_state& state, text_view name, vvv_slot& slot);
// The value at vvv_index(name): a new name is created with the value "".
const text& vvv_value(engine_state& state, text_view name);
// The variable's value as a 16-bit integer in decimal text; raises
// "imbedded variable `name` is not numeric ... ".
text imbedded_number(engine_state& state, text_view name);
// Stack element i (0..2799) as a 16-bit integer, 10 when not numeric; raises
// "wrong value of stack index=" i outside the stack.
std::int16_t stack_number(engine_state& state, long long i);
// Stack element i as text; the same bounds.
text stack_text(engine_state& state, long long i);
// The entry at table index `index`, checked against the table's bounds.
value_text& table_entry(engine_state& state, long long index);
// The value at table index `index` as engine text, the same bounds.
text& table_value(engine_state& state, long long index);
// The macro variable of the stream whose letter is `letter` (codes 96..126);
// any other letter raises the index-range error.
value_text& macro_variable(engine_state& state, char32_t letter);

// Start of every dialog: forgets the named variables, rewrites the built-in
// and macro names, fff 0, sss 10, zzz 10; the value of index 0 is "null".
void init_builtin_variables(engine_state& state);
// Copies token, event, token type, fff, sss, zzz into entries 1..6.
void load_builtin_variables(engine_state& state);
// Copies entries 1..6 back; type-mismatch or overflow errors for fff, sss,
// zzz texts that are not 16-bit numbers.
void store_builtin_variables(engine_state& state);
// Copies entry `index` (1..6) back alone, with the same errors; any other
// index raises the index-range error.
void store_builtin_variable(engine_state& state, std::int16_t index);
// The debug dump of the table, one trace_line message; nothing unless debug
// is on.
void dump_variables(engine_state& state);

}  // namespace zr
