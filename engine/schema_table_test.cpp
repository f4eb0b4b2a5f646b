#include "engine/schema_table.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace zr {
namespace {

TEST(SchemaTable, DefaultsOfAHeaderWithoutDirectives) {
  schema_table table;
  reset_schema_table(table);
  const header_settings& h = table.header;
  EXPECT_FALSE(h.debug_schema || h.debug_dialog || h.steps_in_schema || h.steps_in_dialog);
  EXPECT_TRUE(h.tocken_case_insensetive && h.keyword_case_insensetive &&
              h.separator_case_insensetive && h.print_while_processing);
  text escapes = {h.state_escape,          h.text_string_escape, h.event_escape,
                  h.action_escape,         h.feedback_escape,    h.internal_event_escape,
                  h.keyword_escape,        h.external_proc_par,  h.comment_in_schema,
                  h.macro_variable_escape, h.variable_escape};
  EXPECT_EQ(escapes, U"-`..\\+_#'.$");
  EXPECT_EQ(h.indent_body, U"   ");
}

TEST(SchemaTable, DerivedNamesFollowTheEscapes) {
  header_settings h;
  h.event_escape = U'%';
  h.action_escape = U'!';
  h.macro_variable_escape = U'~';
  derived_names n = derive_names(h);
  EXPECT_EQ(n.identifier_event, U"%id");
  EXPECT_EQ(n.end_of_text_event, U"%eot");
  EXPECT_EQ(n.any_event, U"%");
  EXPECT_EQ(n.end_event, U"%end");
  EXPECT_EQ(n.init_event, U"%init");
  EXPECT_EQ(n.text_marker, U"!t");
  EXPECT_EQ(n.print_marker, U"!p");
  EXPECT_EQ(n.doubled_macro_escape, U"~~");
  EXPECT_EQ(generated_program_name(h, 12), U"%prg12");
  EXPECT_EQ(generated_text_event_name(h, 3), U"%!%3");
}

TEST(SchemaTable, BuiltInStatesSitAtTheirIndices) {
  schema_table table;
  reset_schema_table(table);
  init_builtin_states(table);
  ASSERT_EQ(table.states_quantity, 6);
  const text expected[] = {U"-s", U"-r", U"-b", U"-e", U"-", U"-a"};
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(table.state_name[i], expected[i - 1]);
  EXPECT_EQ(state_index(table, U"-a"), builtin_state::any);
  EXPECT_EQ(state_index(table, U"-"), builtin_state::none);
  EXPECT_EQ(state_index(table, U"-A"), 0);  // names compare exactly

  table.header.state_escape = U'*';
  init_builtin_states(table);
  EXPECT_EQ(table.state_name[builtin_state::root], U"*r");
  EXPECT_EQ(table.state_name[builtin_state::none], U"*");
  EXPECT_EQ(table.state_name[builtin_state::any], U"*a");
}

TEST(SchemaTable, TheStateTableHolds351States) {
  schema_table table;
  reset_schema_table(table);
  init_builtin_states(table);
  for (int i = 7; i <= max_states; ++i)
    add_state(table, number_text(i));
  EXPECT_EQ(table.states_quantity, 351);
  try {
    add_state(table, U"one too many");
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::index_range);
  }
  EXPECT_EQ(table.states_quantity, 351);
}

TEST(SchemaTable, At399EventsTheNextRowFailsWithTheCapacityMessage) {
  schema_table table;
  reset_schema_table(table);
  for (int i = 1; i <= 399; ++i)
    new_event_row(table).event_name = number_text(i);
  EXPECT_EQ(table.events_quantity, 399);
  EXPECT_EQ(table.events[399].event_name, U"399");
  try {
    new_event_row(table);
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::engine);
    EXPECT_EQ(e.description(), U"array size = 'levent' is too small ...");
  }
}

TEST(SchemaTable, ANewRowStartsEmptyEvenWhenReused) {
  schema_table table;
  event_row& row = new_event_row(table);
  row.kword = true;
  row.post_event[5] = U"x";
  row.store_fragment = 30;
  reset_schema_table(table);
  event_row& again = new_event_row(table);
  EXPECT_FALSE(again.kword);
  EXPECT_TRUE(again.post_event[5].empty());
  EXPECT_EQ(again.store_fragment, 0);
}

}  // namespace
}  // namespace zr
