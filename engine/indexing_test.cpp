#include "engine/indexing.h"

#include <gtest/gtest.h>

#include "engine/schema_test_support.h"

namespace zr {
namespace {

compiled_schema compile_blocks(text_view blocks) {
  return compile_schema(U"\\\\schema main\n" + text(blocks) + U"\\\\end schema\n\\\\end file\n");
}

TEST(Indexing, AMissingStateStopsTheCompileNamingTheLastEvent) {
  compiled_schema run =
      compile_blocks(U"-r\n  _a `x` 1 nowhere\n  _b `y` 1 -e\nfirst,second\n  _c `z` 1 -e\n");
  EXPECT_EQ(run.error_text(),
            in_schema("SCHEMA IS NOT COMPLETE: state `nowhere` does not have any events ... \r\n"
                      " event=`c` \r\n"
                      " state nest header starts from =`first`"));
  // Indexing stops at the failing name.
  EXPECT_EQ(run.event(1).post_state[1], 0);
  EXPECT_EQ(run.event(2).nest_state_index[1], 0);
}

TEST(Indexing, BuiltInStatesNeedNoHeaderAndNoNextStateKeepsTheCurrentOne) {
  compiled_schema run = compile_blocks(U"-r\n  _a `x` 1 -e -a -s -b -r\n  _b `y` 0\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const event_row& a = run.event(1);
  EXPECT_EQ((std::array{a.post_state[1], a.post_state[2], a.post_state[3], a.post_state[4],
                        a.post_state[5]}),
            (std::array<std::int16_t, 5>{4, 6, 1, 3, 2}));
  const event_row& b = run.event(2);
  ASSERT_EQ(b.post_states_quantity, 1);
  EXPECT_EQ(b.post_state_name[1], U"-");
  EXPECT_EQ(b.post_state[1], builtin_state::none);
}

TEST(Indexing, StateNamesCompareExactly) {
  compiled_schema run = compile_blocks(U"Main\n  _a `x` 1 main\n");
  EXPECT_NE(run.error_text().find("state `main` does not have any events"), std::string::npos);
}

TEST(Indexing, WithDebugOffNothingIsWrittenButIndicesAreFilled) {
  std::shared_ptr<recording_output> output;
  auto state = fresh_schema_state(output, U"");
  schema_table& s = state->schema;
  init_builtin_states(s);
  add_state(s, U"x");
  event_row& row = new_event_row(s);
  row.nest_depth = 1;
  row.nest_state_name[1] = U"x";
  index_states(*state);
  dump_event(*state, 1);
  EXPECT_TRUE(output->calls.empty());
  EXPECT_EQ(row.nest_state_index[1], 7);
  EXPECT_EQ(row.post_state[1], builtin_state::none);
}

TEST(EventDump, ASeparatorThatCannotBeShownIsWrittenByItsCode) {
  struct row {
    text name;
    std::string shown;
  };
  const row rows[] = {{U"\t", ".9"}, {U"\u00e9x", ".233"}, {U"", ""}, {U"a\tb", "a\tb"}};
  for (const row& r : rows) {
    std::shared_ptr<recording_output> output;
    auto state = fresh_schema_state(output, U"");
    state->flags.debug_on = true;
    state->schema.schema_name[1] = U"main";
    event_row& e = new_event_row(state->schema);
    e.event_name = r.name;
    e.action = U"tab";
    e.subschema = 1;
    e.declared_separator = true;
    e.level = -1;
    e.post_events_quantity = 2;
    e.post_event[1] = U".end";
    e.post_event[2] = U".!.1";
    e.store_fragment = 30;
    dump_event(*state, 1);
    EXPECT_EQ(output->joined(),
              "\r\nregistered event 1  =`" + r.shown +
                  "` has following:"
                  "\r\n...... action=`tab`"
                  "\r\n...... subschema=`main`"
                  "\r\n...... act_text(nevent)=False"
                  "\r\n...... kword=False"
                  "\r\n...... declared_separator =True"
                  "\r\n...... event_variable=False"
                  "\r\n...... keyword_variable=False"
                  "\r\n...... tocken_variable=False"
                  "\r\n...... level=-1"
                  "\r\n...... post_states_quantity(nevent)=0...... post state(s)=\r\n"
                  "\r\n...... post event(s) #=2...... post events(s)=.end  .!.1  \r\n"
                  "\r\n...... feed_back="
                  "\r\n...... store_fragment=30")
        << to_utf8(r.name);
  }
}

}  // namespace
}  // namespace zr
