#include "engine/lookup.h"

#include <algorithm>
#include <iterator>
#include <tuple>

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
    if (row.declared_separator && !row.event_name.empty()) {
      text delivered = row.event_name;
      if (schema.header.separator_case_insensetive) lower_in_place(delivered);
      lookup.separator_lists[list_for(lookup, row.event_name[0])].push_back(
          {row.event_name, e, std::move(delivered), nullptr});
    }
  }
  for (char32_t c = 0; c < schema_lookup::small_codes; ++c)
    lookup.by_folded_character[c] = list_of(lookup, lower_char(c));
}

// After index_candidates: an entry points into the finished candidate table.
void index_keywords(schema_lookup& lookup, const schema_table& schema) {
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    // The first keyword event of a name wins.
    if (row.kword && !lookup.keywords.find(row.event_name))
      lookup.keywords[row.event_name] = {e, &candidates_named(lookup, row.event_name)};
  }
}

// After index_candidates, like index_keywords.
void index_separator_candidates(schema_lookup& lookup) {
  for (separator_list& list : lookup.separator_lists)
    for (separator_entry& entry : list)
      entry.candidates = &candidates_named(lookup, entry.delivered);
}

bool variable_row(const event_row& row) {
  return row.event_variable && (row.tocken_variable || row.keyword_variable);
}

// A variable row compares its variable's value, and an any event passes the
// name test for every name: both are tried for every coming event.
bool tried_for_every_name(const event_row& row, const derived_names& names) {
  return variable_row(row) ||
         (!row.declared_separator && !row.kword && row.event_name == names.any_event);
}

// The state a row's nest test compares with the top of the nest, or 0 when
// the row is tried whatever the top state is: variable rows hold in every
// nest, the any state accepts every top, and a row without header states or
// with a depth or state out of range is left to the nest test itself.
std::int16_t deepest_state(const event_row& row) {
  const std::int16_t depth = row.nest_depth;
  if (variable_row(row) || depth < 1 || depth > max_nest_header) return 0;
  const std::int16_t state = row.nest_state_index[static_cast<std::size_t>(depth)];
  return state == builtin_state::any || state < 1 || state > max_states ? std::int16_t{0} : state;
}

static_assert(std::tuple_size_v<decltype(row_test::nest_state_index)> == max_nest_header + 1);

row_test test_of(const schema_table& schema, std::int16_t e) {
  const event_row& row = schema.events[e];
  row_test t{e, row.nest_depth, row_test::kind::named, row.nest_state_index};
  if (row.event_variable && row.tocken_variable)
    t.test = row_test::kind::tocken_variable;
  else if (row.event_variable && row.keyword_variable)
    t.test = row_test::kind::keyword_variable;
  else if (tried_for_every_name(row, schema.names))
    t.test = row_test::kind::any_event;
  return t;
}

// `rows` (event indices in index order) as a candidate set.
candidate_set split_by_top_state(const event_list& rows, const schema_table& schema) {
  candidate_set set;
  set.list_by_top.assign(max_states + 1, 0);
  set.lists.assign(1, {});
  for (std::int16_t e : rows) {
    const std::int16_t state = deepest_state(schema.events[e]);
    if (state == 0 || set.list_by_top[state] != 0) continue;
    set.list_by_top[state] = static_cast<std::uint16_t>(set.lists.size());
    set.lists.emplace_back();
  }
  for (std::int16_t e : rows) {
    const row_test t = test_of(schema, e);
    set.rows.push_back(t);
    const std::int16_t state = deepest_state(schema.events[e]);
    if (state != 0) {
      set.lists[set.list_by_top[state]].push_back(t);
      continue;
    }
    for (row_tests& list : set.lists)
      list.push_back(t);
  }
  return set;
}

void index_candidates(schema_lookup& lookup, const schema_table& schema) {
  event_list shared;
  name_table<event_list> own;
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    if (tried_for_every_name(row, schema.names))
      shared.push_back(e);
    else
      own[row.event_name].push_back(e);
  }
  // Each name's own rows merged with the shared ones, in index order.
  own.for_each([&](const text& name, event_list& rows) {
    event_list merged;
    merged.reserve(rows.size() + shared.size());
    std::merge(rows.begin(), rows.end(), shared.begin(), shared.end(), std::back_inserter(merged));
    lookup.candidates[name] = split_by_top_state(merged, schema);
  });
  *lookup.shared_candidates = split_by_top_state(shared, schema);
  lookup.identifier_name = schema.names.identifier_event;
  const candidate_set* identifier = lookup.candidates.find(lookup.identifier_name);
  lookup.identifier_candidates = identifier ? identifier : lookup.shared_candidates.get();
}

// After index_candidates, like index_keywords.
void index_post_candidates(schema_lookup& lookup, const schema_table& schema) {
  static_assert(std::tuple_size_v<post_event_candidates> == max_post_events + 1);
  lookup.post_candidates.assign(static_cast<std::size_t>(schema.events_quantity) + 1, {});
  for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
    const event_row& row = schema.events[e];
    post_event_candidates& candidates = lookup.post_candidates[static_cast<std::size_t>(e)];
    for (std::int16_t k = 1; k <= std::min<std::int16_t>(row.post_events_quantity, max_post_events);
         ++k) {
      const auto at = static_cast<std::size_t>(k);
      switch (row.post_event_is[at]) {
        case post_event_kind::named:
          candidates[at] = &candidates_named(lookup, row.post_event[at]);
          break;
        case post_event_kind::identifier:
          candidates[at] = lookup.identifier_candidates;
          break;
        case post_event_kind::repeat:
          break;
      }
    }
  }
}

}  // namespace

schema_lookup build_lookup(const schema_table& schema) {
  schema_lookup lookup;
  index_separators(lookup, schema);
  index_candidates(lookup, schema);
  index_keywords(lookup, schema);
  index_separator_candidates(lookup);
  index_post_candidates(lookup, schema);
  return lookup;
}

const separator_list* large_separators_starting(const schema_lookup& lookup, char32_t c,
                                                bool fold) {
  const char32_t key = fold ? lower_char(c) : c;
  const std::uint16_t k = list_of(lookup, key);
  return k != 0 ? &lookup.separator_lists[k] : nullptr;
}

const candidate_set& candidates_named(const schema_lookup& lookup, text_view name) {
  const candidate_set* found =
      name == lookup.identifier_name ? lookup.identifier_candidates : lookup.candidates.find(name);
  return found ? *found : *lookup.shared_candidates;
}

}  // namespace zr
