#include "engine/lookup.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/schema_table.h"

namespace zr {
namespace {

// Names drawn from a few characters, so that rows share names and first
// characters; capitals, Latin-1, a large code point whose lower case is
// ASCII (KELVIN SIGN, lower case k), the any-event name and the identifier
// event's name (looked up apart from the others) included.
const std::vector<text> name_pool = {U"a",  U"ab",     U"abc",        U"A",       U"Ab", U"b",
                                     U"k",  U"\u212a", U"\u00c9",     U"\u00e9x", U".",  U"=",
                                     U"==", U"",       U"\U0001F600", U".id"};

schema_table random_schema(std::mt19937& random) {
  schema_table schema;
  schema.names = derive_names(schema.header);
  const int rows = static_cast<int>(random() % 40);
  for (int k = 0; k < rows; ++k) {
    event_row& row = new_event_row(schema);
    row.event_name = name_pool[random() % name_pool.size()];
    switch (random() % 6) {
      case 0:
        row.declared_separator = true;
        break;
      case 1:
        row.kword = true;
        break;
      case 2:
        row.event_variable = row.tocken_variable = true;
        break;
      case 3:
        row.event_variable = row.keyword_variable = true;
        break;
      case 4:
        row.event_variable = true;
        break;  // a variable row of neither kind
      default:
        break;  // ordinary, or the any event "."
    }
    // Post events of the three kinds, named from the pool.
    row.post_events_quantity = static_cast<std::int16_t>(random() % 3);
    for (std::int16_t k = 1; k <= row.post_events_quantity; ++k) {
      row.post_event[k] = name_pool[random() % name_pool.size()];
      row.post_event_is[k] = static_cast<post_event_kind>(random() % 3);
    }
    // Header states from a few, the any state (6) and an unresolved 0
    // among them; now and then a depth out of range.
    row.nest_depth = static_cast<std::int16_t>(random() % 10 == 0 ? 7 : random() % 4);
    for (std::int16_t& state : row.nest_state_index)
      state = static_cast<std::int16_t>(random() % 9);
  }
  return schema;
}

bool linear_separator_at(const text& source, std::size_t p, const text& name, bool fold) {
  if (name.empty() || p + name.size() > source.size()) return false;
  for (std::size_t k = 0; k < name.size(); ++k)
    if ((fold ? lower_char(source[p + k]) : source[p + k]) != name[k]) return false;
  return true;
}

// What a scan of the whole table in index order finds.
std::int16_t linear_separator(const schema_table& s, const text& source, std::size_t p, bool fold) {
  for (std::int16_t e = 1; e <= s.events_quantity; ++e)
    if (s.events[e].declared_separator &&
        linear_separator_at(source, p, s.events[e].event_name, fold))
      return e;
  return 0;
}

std::int16_t indexed_separator(const schema_lookup& lookup, const text& source, std::size_t p,
                               bool fold) {
  if (const separator_list* candidates = separators_starting(lookup, source[p], fold))
    for (const separator_entry& entry : *candidates)
      if (linear_separator_at(source, p, entry.name, fold)) return entry.event;
  return 0;
}

std::int16_t linear_keyword(const schema_table& s, const text& word) {
  for (std::int16_t e = 1; e <= s.events_quantity; ++e)
    if (s.events[e].kword && s.events[e].event_name == word) return e;
  return 0;
}

// Whether the nest test of `row` can hold with `top` on top of the nest
// (-1: an empty nest): its last comparison is the deepest header state
// against the top, unless that state is the any state or out of range.
bool last_state_may_hold(const event_row& row, std::int16_t top) {
  const std::int16_t depth = row.nest_depth;
  if (top < 1 || depth < 1 || depth > max_nest_header) return true;
  const std::int16_t deepest = row.nest_state_index[depth];
  return deepest == builtin_state::any || deepest < 1 || deepest == top;
}

// The rows whose outcome a scan can depend on: those that do not fail the
// name test or the nest test's last comparison at once.
event_list linear_candidates(const schema_table& s, const text& name, std::int16_t top) {
  event_list rows;
  for (std::int16_t e = 1; e <= s.events_quantity; ++e) {
    const event_row& row = s.events[e];
    const bool variable = row.event_variable && (row.tocken_variable || row.keyword_variable);
    const bool any = !row.declared_separator && !row.kword && row.event_name == s.names.any_event;
    if (variable || ((any || row.event_name == name) && last_state_may_hold(row, top)))
      rows.push_back(e);
  }
  return rows;
}

event_list events_of(const row_tests& tests) {
  event_list events;
  for (const row_test& t : tests)
    events.push_back(t.event);
  return events;
}

TEST(Lookup, AgreesWithALinearScanOnRandomSchemas) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 300; ++round) {
    const schema_table schema = random_schema(random);
    schema_lookup built = build_lookup(schema);
    // Moved, as into the schema table: the entries that point at candidate
    // sets must still point into this lookup.
    const schema_lookup lookup = std::move(built);
    text source;
    for (int k = 0; k < 30; ++k)
      source += name_pool[random() % name_pool.size()];
    for (bool fold : {false, true})
      for (std::size_t p = 0; p < source.size(); ++p)
        ASSERT_EQ(indexed_separator(lookup, source, p, fold),
                  linear_separator(schema, source, p, fold))
            << "round " << round << " position " << p << " fold " << fold;
    for (const text& name : name_pool) {
      // A keyword's entry carries the candidates its name would be looked up for.
      const keyword_entry* keyword = lookup.keywords.find(name);
      EXPECT_EQ(keyword ? keyword->event : 0, linear_keyword(schema, name)) << round;
      // The tokenizer's look-up, with the hash it made while reading the word.
      name_hash hash;
      for (char32_t c : name)
        hash.add(c);
      EXPECT_EQ(find_keyword(lookup, name, hash.value), keyword) << round;
      if (keyword) {
        EXPECT_EQ(keyword->candidates, &candidates_named(lookup, name)) << round;
      }
    }
    // Every declared separator has one entry, in the list of its first
    // character, delivered under its folded name with that name's candidates.
    int entries = 0;
    for (const separator_list& list : lookup.separator_lists) {
      for (const separator_entry& entry : list) {
        const event_row& row = schema.events[entry.event];
        text delivered = row.event_name;
        if (schema.header.separator_case_insensetive) lower_in_place(delivered);
        EXPECT_TRUE(row.declared_separator && entry.name == row.event_name) << round;
        EXPECT_EQ(entry.delivered, delivered) << round;
        EXPECT_EQ(entry.candidates, &candidates_named(lookup, delivered)) << round;
        ++entries;
      }
    }
    EXPECT_EQ(entries, std::count_if(schema.events.begin() + 1,
                                     schema.events.begin() + 1 + schema.events_quantity,
                                     [](const event_row& row) {
                                       return row.declared_separator && !row.event_name.empty();
                                     }))
        << round;
    for (std::int16_t e = 1; e <= schema.events_quantity; ++e) {
      const event_row& row = schema.events[e];
      for (std::int16_t k = 1; k <= row.post_events_quantity; ++k) {
        const candidate_set* expected = nullptr;  // a repeat is looked up when it is taken
        if (row.post_event_is[k] == post_event_kind::named)
          expected = &candidates_named(lookup, row.post_event[k]);
        else if (row.post_event_is[k] == post_event_kind::identifier)
          expected = &candidates_named(lookup, schema.names.identifier_event);
        EXPECT_EQ(lookup.post_candidates[e][k], expected) << round << " event " << e;
      }
    }
    for (std::int16_t top = -1; top <= 8; ++top) {
      for (const text& name : name_pool)
        EXPECT_EQ(events_of(rows_under(candidates_named(lookup, name), top)),
                  linear_candidates(schema, name, top))
            << round << " top " << top;
      EXPECT_EQ(events_of(rows_under(candidates_named(lookup, U"never declared"), top)),
                linear_candidates(schema, U"never declared", top));
    }
  }
}

}  // namespace
}  // namespace zr
