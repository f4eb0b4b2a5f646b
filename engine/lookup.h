// The indexes built once a schema is compiled. They give the tokenizer and
// the dialog what a scan of the event table in index order gives, without
// walking the table: declared separators by their first character, keywords
// by name, and for every event name the rows that can accept it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/text.h"

namespace zr {

struct schema_table;

// Event indices in ascending (table) order.
using event_list = std::vector<std::int16_t>;

// A table from names to values for the look-ups made at every step: open
// addressing over a power-of-two number of slots and a hash computed inline,
// so a look-up is one pass over the name and, nearly always, one comparison.
template <class Value>
class name_table {
 public:
  // Adds `name` with `value`, or returns the value it already has.
  Value& operator[](text_view name) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    slot& s = slot_for(name, hash_of(name));
    if (!s.used) {
      s = {text(name), Value(), hash_of(name), true};
      ++used_;
    }
    return s.value;
  }
  // The value of `name`; null when it has none.
  const Value* find(text_view name) const {
    if (slots_.empty()) return nullptr;
    const slot& s = slot_for(name, hash_of(name));
    return s.used ? &s.value : nullptr;
  }
  template <class Visit>
  void for_each(Visit visit) {
    for (slot& s : slots_)
      if (s.used) visit(s.name, s.value);
  }

 private:
  struct slot {
    text name;
    Value value{};
    std::uint64_t hash = 0;
    bool used = false;
  };

  // FNV-1a over the code points.
  static std::uint64_t hash_of(text_view name) {
    std::uint64_t h = 14695981039346656037ull;
    for (char32_t c : name)
      h = (h ^ c) * 1099511628211ull;
    return h;
  }
  // The slot holding `name`, or the empty slot where it would go.
  template <class Self>
  static auto& slot_in(Self& self, text_view name, std::uint64_t hash) {
    const std::size_t mask = self.slots_.size() - 1;
    for (std::size_t k = hash & mask;; k = (k + 1) & mask) {
      auto& s = self.slots_[k];
      if (!s.used || (s.hash == hash && s.name == name)) return s;
    }
  }
  slot& slot_for(text_view name, std::uint64_t hash) { return slot_in(*this, name, hash); }
  const slot& slot_for(text_view name, std::uint64_t hash) const {
    return slot_in(*this, name, hash);
  }
  void grow() {
    std::vector<slot> old(std::max<std::size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    for (slot& s : old)
      if (s.used) slot_for(s.name, s.hash) = std::move(s);
  }

  std::vector<slot> slots_;
  std::size_t used_ = 0;
};

struct schema_lookup {
  // Characters below this code find their separators through the tables.
  static constexpr char32_t small_codes = 256;
  // separator_lists[k] (k >= 1): the declared separators whose name starts
  // with one character, in event order; index 0 stays empty.
  std::vector<event_list> separator_lists = std::vector<event_list>(1);
  // First character -> list; 0 when no separator starts with it.
  std::array<std::uint16_t, small_codes> by_first_character{};
  // The same for the lower case of the character, for case-folded search.
  std::array<std::uint16_t, small_codes> by_folded_character{};
  std::unordered_map<char32_t, std::uint16_t> by_large_character;
  name_table<std::int16_t> keywords;  // name -> first keyword event
  // Name -> the rows a coming event of that name must be tried against, in
  // index order: its own rows, the any events and the variable rows.
  name_table<event_list> candidates;
  event_list shared_candidates;  // the any events and variable rows alone
};

// Builds the indexes of events 1..events_quantity.
schema_lookup build_lookup(const schema_table& schema);

const event_list* large_separators_starting(const schema_lookup& lookup, char32_t c, bool fold);

// The declared separators whose name can start at a character `c` of the
// source (its lower case when `fold`), in event order; null when none.
inline const event_list* separators_starting(const schema_lookup& lookup, char32_t c, bool fold) {
  if (c >= schema_lookup::small_codes) return large_separators_starting(lookup, c, fold);
  const std::uint16_t k = fold ? lookup.by_folded_character[c] : lookup.by_first_character[c];
  return k != 0 ? &lookup.separator_lists[k] : nullptr;
}

// The first keyword event named exactly `word`; 0 when there is none.
std::int16_t keyword_event(const schema_lookup& lookup, text_view word);

// The rows to try, in index order, for a coming event named `name`: every
// row that could accept it. Rows left out could not, whatever the nest.
const event_list& candidate_rows(const schema_lookup& lookup, text_view name);

}  // namespace zr
