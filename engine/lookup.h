// The indexes built once a schema is compiled. They give the tokenizer and
// the dialog what a scan of the event table in index order gives, without
// walking the table: declared separators by their first character, keywords
// by name, and for every event name the rows that can accept it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "common/text.h"
#include "engine/name_table.h"

namespace zr {

struct schema_table;

// Event indices in ascending (table) order.
using event_list = std::vector<std::int16_t>;

// What the dialog needs to try one row against a coming event, kept apart
// from the event table so that a step reads a few bytes in a row instead of
// a whole event row: the row's name is known to pass when it is tried.
struct row_test {
  enum class kind : std::uint8_t {
    named,             // its own name: the nest test decides
    any_event,         // the any event: the nest test decides, for every name
    tocken_variable,   // compares its variable with the token
    keyword_variable,  // compares its variable with the event name
  };
  std::int16_t event = 0;
  std::int16_t nest_depth = 0;
  kind test = kind::named;
  std::array<std::int16_t, 6> nest_state_index{};  // the row's header states
};
using row_tests = std::vector<row_test>;

// The rows a coming event of one name must be tried against, and for each
// state on top of the nest the fewer rows that can still accept it there: a
// row whose deepest header state is another state fails the nest test at its
// last comparison, which traces nothing, so leaving it out changes nothing.
struct candidate_set {
  row_tests rows;  // every row that could accept the name, in index order
  // lists[0]: the rows no top state rules out; list_by_top[state] picks the
  // list for a top state (0 for the states no row names as its deepest).
  std::vector<row_tests> lists;
  std::vector<std::uint16_t> list_by_top;
};

// A keyword's first event and the rows a coming event of its name is tried
// against: the tokenizer finds both with one look-up of the word.
struct keyword_entry {
  std::int16_t event = 0;
  const candidate_set* candidates = nullptr;
};

// A declared separator as the scan tries it: its name as declared, its
// event, and how it is delivered: its name in lower case when separators are
// case-folded, and that name's candidate rows. The scan reads the entries
// in a row instead of reaching into the event table.
struct separator_entry {
  text name;
  std::int16_t event = 0;
  text delivered;
  const candidate_set* candidates = nullptr;
};
using separator_list = std::vector<separator_entry>;

// Post event k of a row -> the candidates of the event it queues, when its
// name is fixed (not a repeat of the coming event); null otherwise.
using post_event_candidates = std::array<const candidate_set*, 6>;

struct schema_lookup {
  // Characters below this code find their separators through the tables.
  static constexpr char32_t small_codes = 256;
  // separator_lists[k] (k >= 1): the declared separators whose name starts
  // with one character, in event order; index 0 stays empty.
  std::vector<separator_list> separator_lists = std::vector<separator_list>(1);
  // First character -> list; 0 when no separator starts with it.
  std::array<std::uint16_t, small_codes> by_first_character{};
  // The same for the lower case of the character, for case-folded search.
  std::array<std::uint16_t, small_codes> by_folded_character{};
  std::unordered_map<char32_t, std::uint16_t> by_large_character;
  name_table<keyword_entry> keywords;  // name -> first keyword event
  // Name -> the rows a coming event of that name must be tried against, in
  // index order: its own rows, the any events and the variable rows.
  name_table<candidate_set> candidates;
  // The any events and variable rows alone. Entries elsewhere point at the
  // candidate sets: each lives on the heap, where a move of the lookup leaves
  // it, and the lookup cannot be copied.
  std::unique_ptr<candidate_set> shared_candidates = std::make_unique<candidate_set>();
  // Event index -> its post events' candidates.
  std::vector<post_event_candidates> post_candidates;
  // The identifier event's name and candidates, reached without hashing the
  // name: a word that is no keyword is the most frequent coming event.
  text identifier_name;
  const candidate_set* identifier_candidates = nullptr;
};

// Builds the indexes of events 1..events_quantity.
schema_lookup build_lookup(const schema_table& schema);

const separator_list* large_separators_starting(const schema_lookup& lookup, char32_t c, bool fold);

// The declared separators whose name can start at a character `c` of the
// source (its lower case when `fold`), in event order; null when none.
inline const separator_list* separators_starting(const schema_lookup& lookup, char32_t c,
                                                 bool fold) {
  if (c >= schema_lookup::small_codes) return large_separators_starting(lookup, c, fold);
  const std::uint16_t k = fold ? lookup.by_folded_character[c] : lookup.by_first_character[c];
  return k != 0 ? &lookup.separator_lists[k] : nullptr;
}

// The keyword named exactly `word`, whose name_hash is `hash`; null when
// there is none.
inline const keyword_entry* find_keyword(const schema_lookup& lookup, text_view word,
                                         std::uint64_t hash) {
  return lookup.keywords.find(word, hash);
}

// The candidates of a coming event named `name`.
const candidate_set& candidates_named(const schema_lookup& lookup, text_view name);

// The rows of `set` to try, in index order, while `top` is the state on top
// of the nest (-1 for an empty nest): every row that could accept the
// event. Rows left out could not.
inline const row_tests& rows_under(const candidate_set& set, std::int16_t top) {
  if (top < 1 || static_cast<std::size_t>(top) >= set.list_by_top.size()) return set.rows;
  return set.lists[set.list_by_top[static_cast<std::size_t>(top)]];
}

}  // namespace zr
