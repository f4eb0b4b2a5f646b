#include "engine/tokenizer.h"

#include <gtest/gtest.h>

#include "engine/test_support.h"

namespace zr {
namespace {

struct declared {
  text name;
  bool keyword;  // else a declared separator
};

class TokenizerTest : public ::testing::Test {
 protected:
  void schema(const std::vector<declared>& events) {
    reset_schema_table(state->schema);
    for (const declared& d : events) {
      event_row& row = new_event_row(state->schema);
      row.event_name = d.name;
      row.kword = d.keyword;
      row.declared_separator = !d.keyword;
    }
    state->schema.lookup = build_lookup(state->schema);
  }
  // Every event of the source as "event|tocken|ttype" up to the end of text.
  std::vector<std::string> events_of(text source) {
    state->run.source_text = source + U"\r\n";
    state->run.scan_position = 1;
    state->run.end_of_text = false;
    state->tokenizer = {};
    state->run.tocken.clear();
    state->run.ttype = token_type::none;
    std::vector<std::string> seen;
    while (!state->run.end_of_text && seen.size() < 100) {
      find_tock(*state);
      seen.push_back(to_utf8(state->run.coming_event + U"|" + state->run.tocken + U"|" +
                             text(token_type_text(state->run.ttype, {}))));
    }
    return seen;
  }

  std::shared_ptr<recording_output> out;
  std::unique_ptr<engine_state> state = make_test_state(out);
};

TEST_F(TokenizerTest, CutsWordsSeparatorsAndKeywords) {
  struct Case {
    std::vector<declared> schema;
    text source;
    std::vector<std::string> events;
  };
  const std::vector<Case> cases = {
      // A declared separator after a word keeps the word's token.
      {{{U"+", false}}, U"a+b", {".id|a|i", "+|a|i", ".id|b|i", ".eot|b|i"}},
      // The one registered first wins at one position, not the longest.
      {{{U"=", false}, {U"==", false}},
       U"a==b",
       {".id|a|i", "=|a|i", "=|a|i", ".id|b|i", ".eot|b|i"}},
      {{{U"==", false}, {U"=", false}}, U"a==b", {".id|a|i", "==|a|i", ".id|b|i", ".eot|b|i"}},
      // Blanks, tabs and line breaks produce no events.
      {{}, U"  x \t\r\n  y", {".id|x|i", ".id|y|i", ".eot|y|i"}},
      // A separator at the start comes at once, without a word event.
      {{{U";", false}}, U";x", {";||", ".id|x|i", ".eot|x|i"}},
      // Keywords compare case-insensitively and come lower-cased.
      {{{U"begin", true}}, U"BEGIN Begin", {"begin|begin|i", "begin|begin|i", ".eot|begin|i"}},
      // Token types and case.
      {{}, U"Abc 12x \"Q\"", {".id|abc|i", ".id|12x|n", ".id|\"Q\"|s", ".eot|\"Q\"|s"}},
      // An empty source gives the end of text at once.
      {{}, U"", {".eot||"}},
      // A separator declared in capitals (stored lower-cased) matches either case.
      {{{U"and", false}}, U"xANDy", {".id|x|i", "and|x|i", ".id|y|i", ".eot|y|i"}},
      // An empty declared separator never matches.
      {{{U"", false}}, U"ab", {".id|ab|i", ".eot|ab|i"}},
  };
  for (const Case& c : cases) {
    schema(c.schema);
    EXPECT_EQ(events_of(c.source), c.events) << to_utf8(c.source);
  }
}

TEST_F(TokenizerTest, CaseSettingsOff) {
  schema({{U"begin", true}, {U"x", false}});
  state->schema.header.keyword_case_insensetive = false;
  state->schema.header.tocken_case_insensetive = false;
  state->schema.header.separator_case_insensetive = false;
  std::vector<std::string> expected = {".id|BEGIN|i", "begin|begin|i", ".id|aXb|i", ".eot|aXb|i"};
  EXPECT_EQ(events_of(U"BEGIN begin aXb"), expected);
}

TEST_F(TokenizerTest, TracesWhileDebugIsOn) {
  schema({{U"+", false}});
  state->flags.debug_on = true;
  state->dialog.nest = 1;
  events_of(U"a+");
  const std::string expected =
      "\t\t\t.   TZ: found declared separator which is `+`(43)... \r\n"
      "\t\t\t.   TZ: declared separator is `+`\r\n"
      "\t\t\t.   TZ: word found before separator is `a`\r\n"
      "\t\t\t.   TZ: found native separator =`\r`=13\r\n"
      "\t\t\t.   TZ: separator is native =`\r` ... do not count as an event .... \r\n"
      "\t\t\t.   TZ: found native separator =`\n`=10\r\n"
      "\t\t\t.   TZ: separator is native =`\n` ... do not count as an event .... \r\n"
      "\t\t\t.   TZ: parser: end of text = .eot found ... \r\n";
  EXPECT_EQ(out->joined(), expected);
}

TEST_F(TokenizerTest, AWordThatRunsToTheEndFailsWithItsContext) {
  schema({});
  state->run.source_text = U"abc";  // no line break at the end
  state->run.scan_position = 1;
  try {
    find_tock(*state);
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.description(),
              U"TZ: separator is not found ...\r\nin find_tock\r\nTZ: tocken search started ... ");
  }
}

TEST(ClassifyTocken, LooksAtTheFirstCharacter) {
  EXPECT_EQ(classify_tocken(U"9a"), token_type::number);
  EXPECT_EQ(classify_tocken(U"\"a"), token_type::string);
  EXPECT_EQ(classify_tocken(U"a9"), token_type::identifier);
  EXPECT_EQ(classify_tocken(U""), token_type::identifier);
}

// "ttype" holds any text a statement stores: the known ones become their
// type, any other is kept as it was written.
TEST(TokenTypeText, EveryTextComesBackAsItWasStored) {
  for (text written : {U"", U"n", U"s", U"i", U"?", U"x", U"nn", U"I"}) {
    const token_type type = token_type_of(written);
    EXPECT_EQ(type == token_type::other, written.size() > 1 || written == U"x" || written == U"I");
    EXPECT_EQ(text(token_type_text(type, written)), written);
  }
}

}  // namespace
}  // namespace zr
