#include "engine/lookup.h"

#include <algorithm>
#include <iterator>

#include "engine/schema_table.h"

namespace zr {

namespace {

std::uint16_t list_for(schema_lookup& lookup, char32_t first) {
  std::uint16_t* slot = first < schema_lookup::small_codes ? &lookup.by_first_character[first]
                                                           : &lookup.by_large_character[first];
  if (*slot == 0) {
    *slot = static_cast<std::uint16_t>(lookup.separator_lists.size());
    lookup.separator_lists.emplace_back();
  }
  return *slot;
}

std::uint16_t list_of(const schema_lookup& lookup, char32_t first) {
  if (first < schema_lookup::small_codes) return lookup.by_first_character[first];
  auto found = lookup.by_large_character.find(first);
  return found == lookup.by_large_character.end() ? 0 : found->second;
}

void index_separators(schema_lookup& lookup, const schema_table& schema) {
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    // An empty separator never matches.
    if (row.declared_separator && !row.event_name.empty())
      lookup.separator_lists[list_for(lookup, row.event_name[0])].push_back(e);
  }
  for (char32_t c = 0; c < schema_lookup::small_codes; ++c)
    lookup.by_folded_character[c] = list_of(lookup, lower_char(c));
}

void index_keywords(schema_lookup& lookup, const schema_table& schema) {
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    // The first keyword event of a name wins.
    if (row.kword && !lookup.keywords.find(row.event_name)) lookup.keywords[row.event_name] = e;
  }
}

// A variable row compares its variable's value, and an any event passes the
// name test for every name: both are tried for every coming event.
bool tried_for_every_name(const event_row& row, const derived_names& names) {
  if (row.event_variable && (row.tocken_variable || row.keyword_variable)) return true;
  return !row.declared_separator && !row.kword && row.event_name == names.any_event;
}

void index_candidates(schema_lookup& lookup, const schema_table& schema) {
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    if (tried_for_every_name(row, schema.names))
      lookup.shared_candidates.push_back(e);
    else
      lookup.candidates[row.event_name].push_back(e);
  }
  // Each name's own rows merged with the shared ones, in index order.
  lookup.candidates.for_each([&](const text&, event_list& rows) {
    event_list merged;
    merged.reserve(rows.size() + lookup.shared_candidates.size());
    std::merge(rows.begin(), rows.end(), lookup.shared_candidates.begin(),
               lookup.shared_candidates.end(), std::back_inserter(merged));
    rows = std::move(merged);
  });
}

}  // namespace

schema_lookup build_lookup(const schema_table& schema) {
  schema_lookup lookup;
  index_separators(lookup, schema);
  index_keywords(lookup, schema);
  index_candidates(lookup, schema);
  return lookup;
}

const event_list* large_separators_starting(const schema_lookup& lookup, char32_t c, bool fold) {
  const char32_t key = fold ? lower_char(c) : c;
  const std::uint16_t k = list_of(lookup, key);
  return k != 0 ? &lookup.separator_lists[k] : nullptr;
}

std::int16_t keyword_event(const schema_lookup& lookup, text_view word) {
  const std::int16_t* found = lookup.keywords.find(word);
  return found ? *found : 0;
}

const event_list& candidate_rows(const schema_lookup& lookup, text_view name) {
  const event_list* found = lookup.candidates.find(name);
  return found ? *found : lookup.shared_candidates;
}

}  // namespace zr
