#include "engine/schema_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/easylife.h"
#include "engine/schema_lines.h"
#include "engine/schema_test_support.h"

namespace zr {
namespace {

std::string read_golden(const std::string& name) {
  std::ifstream file(std::string(ZR_SOURCE_DIR) + "/engine/testdata/" + name, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

// A trace made readable: each CR LF ends a line; a bare LF or CR is marked.
std::string visible(const std::string& trace) {
  std::string shown;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (trace[i] == '\r' && i + 1 < trace.size() && trace[i + 1] == '\n') {
      shown += '\n';
      ++i;
    } else if (trace[i] == '\n') {
      shown += "<LF>\n";
    } else if (trace[i] == '\r') {
      shown += "<CR>";
    } else {
      shown += trace[i];
    }
  }
  return shown;
}

TEST(SchemaReaderGolden, TheDebugTraceOfASchemaIsKeptWordForWord) {
  compiled_schema run = compile_schema(from_utf8(read_golden("schema_debug.schema")));
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(visible(run.output->joined()), read_golden("schema_debug.expected"));
  EXPECT_FALSE(run.state->flags.debug_on);
}

// One schema "main" whose nest header "-r" holds `events`, under `header`.
text schema_text(text_view header, text_view events = U"  _hello `Hi` 1 -e\n") {
  return text(header) + U"\\\\schema main\n-r\n" + text(events) + U"\\\\end schema\n\\\\end file\n";
}

TEST(SchemaReader, ASchemaWithoutDirectivesCompilesWithTheDefaults) {
  compiled_schema run = compile_schema(schema_text(U""));
  ASSERT_FALSE(run.error) << run.error_text();
  const schema_table& s = run.schema();
  EXPECT_EQ(s.schemas_quantity, 1);
  EXPECT_EQ(s.schema_name[1], U"main");
  EXPECT_EQ(s.events_quantity, 1);
  EXPECT_EQ(s.states_quantity, 6);
  EXPECT_EQ(s.header.help_mode, U"F");
  EXPECT_FALSE(s.header.debug_schema || s.header.steps_in_schema);
  EXPECT_EQ(s.names.end_of_text_event, U".eot");
  EXPECT_EQ(run.event(1).event_name, U"hello");
  EXPECT_EQ(run.output->joined(), "");  // no debug output
}

TEST(SchemaReader, FlagDirectivesTakeOnlyALowerCaseTOrF) {
  struct row {
    text line;
    bool debug;  // debug output seen
  };
  const row rows[] = {{U"\\\\debug schema=t", true},     {U"\\\\debug schema=T", false},
                      {U"\\\\debug schema= t", false},   {U"\\\\debug schema=t ", false},
                      {U"\\\\debug schema=true", false}, {U"\\\\debug schema=", false},
                      {U" \\\\debug schema=t", false},   {U"\\\\debug schema=t\r", true}};
  for (const row& r : rows) {
    compiled_schema run = compile_schema(schema_text(r.line + U"\n"));
    ASSERT_FALSE(run.error) << run.error_text();
    EXPECT_EQ(run.schema().header.debug_schema, r.debug) << to_utf8(r.line);
    EXPECT_EQ(!run.output->calls.empty(), r.debug) << to_utf8(r.line);
  }
  // A default of true goes only with an exact "f".
  compiled_schema off = compile_schema(schema_text(U"\\\\print while processing=f\n"));
  EXPECT_FALSE(off.schema().header.print_while_processing);
  compiled_schema kept = compile_schema(schema_text(U"\\\\print while processing=F\n"));
  EXPECT_TRUE(kept.schema().header.print_while_processing);
}

TEST(SchemaReader, CharacterDirectivesAreTrimmedAndKeepTheirDefaultWhenEmpty) {
  compiled_schema run = compile_schema(
      U"\\\\state escape=  *  \n\\\\keyword escape=\n\\\\variable_escape=%x\n"
      U"\\\\indent body=\t. \n\\\\schema main\n*r\n  _a `x` 1 *e\n  %v `y` 1 *\n"
      U"\\\\end schema\n\\\\end file\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const header_settings& h = run.schema().header;
  EXPECT_EQ(h.state_escape, U'*');
  EXPECT_EQ(h.keyword_escape, U'_');
  EXPECT_EQ(h.variable_escape, U'%');
  EXPECT_EQ(h.indent_body, U"\t. ");  // the indent body keeps its blanks
  EXPECT_EQ(run.schema().state_name[builtin_state::any], U"*a");
  EXPECT_TRUE(run.event(2).tocken_variable);
  EXPECT_EQ(run.event(2).post_state[1], builtin_state::none);
}

TEST(SchemaReader, DirectivesAfterTheSchemaLineHaveNoEffect) {
  compiled_schema run = compile_schema(schema_text(U"", U"\\\\debug schema=t\n  _a `x` 1 -e\n"));
  EXPECT_FALSE(run.schema().header.debug_schema);
}

TEST(SchemaReader, HelpModeEchoesTheSettingsAndStops) {
  for (text line : {U"\\\\?", U"\\\\help", U"\\\\help=f", U"\\\\? t"}) {
    compiled_schema run = compile_schema(schema_text(line + U"\n"));
    EXPECT_EQ(run.error_text(),
              in_schema("schema will be not executed in help mode;", "prepare text"))
        << to_utf8(line);
    EXPECT_NE(run.output->joined().find("\r\n\\\\variable_escape=$"), std::string::npos);
    EXPECT_TRUE(run.state->flags.debug_on);  // left as it was at the failure
  }
  compiled_schema off = compile_schema(schema_text(U"\\\\? f\n"));
  EXPECT_FALSE(off.error) << off.error_text();
}

TEST(SchemaReader, MissingMarkersFailBeforeAnyEventIsRead) {
  struct row {
    text schema;
    std::string error;
  };
  const row rows[] = {
      {U"\\\\schem main\n", in_schema("no `\\\\schema` string ...", "prepare text")},
      {U"\\\\schema main\n-r\n  _a `x` 1 -e\n\\\\end file\n",
       in_schema("missed '\\\\end schema' in the schema text", "prepare text")},
      {U"\\\\schema main\n-r\n  _a `x` 1 -e\n\\\\end schema\n",
       in_schema("missed '\\\\end file' in the schema text", "prepare text")},
      // Only a marker at the start of a line ends the schemas.
      {U"\\\\schema main\n-r\n  _a `x` 1 -e\n \\\\end schema\n\\\\end file\n",
       in_schema("schema text ended before a line beginning with `\\\\end schema` ...")},
      {U"\\\\schema main\\\\end schema\\\\end file",
       in_schema("schema text ended before a line beginning with `\\\\end schema` ...")},
  };
  for (const row& r : rows) {
    compiled_schema run = compile_schema(r.schema);
    EXPECT_EQ(run.error_text(), r.error);
  }
  EXPECT_EQ(compile_schema(rows[2].schema).schema().events_quantity, 0);
}

TEST(SchemaReader, TwentySchemasFitAndTheTwentyFirstFails) {
  text schemas;
  for (int i = 1; i <= 20; ++i)
    schemas += U"\\\\schema\n-r\n  _k" + number_text(i) + U" `x` 1 -e\n";
  compiled_schema twenty = compile_schema(schemas + U"\\\\end schema\n\\\\end file\n");
  ASSERT_FALSE(twenty.error) << twenty.error_text();
  EXPECT_EQ(twenty.schema().schema_name[20], U"20");  // unnamed: known by number
  EXPECT_EQ(twenty.event(20).subschema, 20);
  EXPECT_EQ(twenty.schema().states_quantity, 6);  // one state table for all
  compiled_schema more = compile_schema(schemas + U"\\\\schema 'x\n\\\\end schema\n\\\\end file\n");
  EXPECT_EQ(more.error_text(),
            in_schema("increase array index for schemas\r\nsubscript is over 20 ... "));
}

TEST(SchemaReader, SchemaNamesComeAfterTheMarkerAndOneCharacter) {
  compiled_schema run = compile_schema(
      U"\\\\schema first one\n\\\\schema 'note\n\\\\schema\n\\\\schema\tx,y\n"
      U"\\\\end schema\n\\\\end file\n");
  ASSERT_FALSE(run.error) << run.error_text();
  const auto& names = run.schema().schema_name;
  EXPECT_EQ(names[1], U"first");
  EXPECT_EQ(names[2], U"2");
  EXPECT_EQ(names[3], U"3");
  EXPECT_EQ(names[4], U"x");  // the word separator is "," when a run starts
  EXPECT_EQ(run.schema().events_quantity, 0);
}

TEST(SchemaReader, LinesWithCarriageReturnsReadAsLinesWithout) {
  text lf = schema_text(U"\\\\keyword escape=_\n");
  text crlf = replace_all(lf, U"\n", U"\r\n");
  compiled_schema run = compile_schema(crlf);
  ASSERT_FALSE(run.error) << run.error_text();
  EXPECT_EQ(run.schema().schema_name[1], U"main");
  EXPECT_EQ(run.event(1).post_state_name[1], U"-e");
  EXPECT_EQ(run.event(1).action, U"Hi");
}

TEST(SchemaReader, AStopRequestEndsTheReadingWithTheReadersContext) {
  std::shared_ptr<recording_output> output;
  auto state = fresh_schema_state(output, schema_text(U""));
  state->flags.terminate_requested = true;
  try {
    read_schema(*state);
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(to_utf8(e.description()), in_schema("user ordered to terminate"));
  }
}

TEST(SchemaReader, StepModeWhileReadingTakesOneGrantPerEventLine) {
  std::shared_ptr<recording_output> output;
  auto state = fresh_schema_state(output, schema_text(U"\\\\steps in schema=t\n"));
  read_schema(*state);  // the grant that switches step mode on covers the one event line
  EXPECT_TRUE(state->flags.steps_on);
  EXPECT_FALSE(state->flags.step_granted);
  // Without the header directive step mode is switched off for the reading.
  state = fresh_schema_state(output, schema_text(U""));
  state->flags.steps_on = true;
  read_schema(*state);
  EXPECT_FALSE(state->flags.steps_on);
}

TEST(SchemaReader, TheUnreadTextStaysATailOfTheSchemaForLineNumbers) {
  // A separator and an action that span lines, then a failure two lines on.
  const text schema = schema_text(
      U"", U"  \"a\nb\" `x` 1 -e\n  _k .\"one\ntwo\" 1 -e\n  _bad `y` 1 -e -e -e -e -e -e\n");
  compiled_schema run = compile_schema(schema);
  ASSERT_TRUE(run.error);
  const text rest(schema_rest(*run.state));
  ASSERT_LE(rest.size(), schema.size());
  EXPECT_EQ(schema.substr(schema.size() - rest.size()), rest);
  text consumed = schema.substr(0, schema.size() - rest.size());
  EXPECT_EQ(1 + std::count(consumed.begin(), consumed.end(), U'\n'), 7);
}

TEST(SchemaReader, ThreeHundredNinetyNineEventsCompileAndOneMoreDoesNot) {
  text events;
  for (int i = 1; i <= 399; ++i)
    events += U"  _k" + number_text(i) + U" `x` 1 -e\n";
  compiled_schema full = compile_schema(schema_text(U"", events));
  ASSERT_FALSE(full.error) << full.error_text();
  EXPECT_EQ(full.schema().events_quantity, 399);
  EXPECT_EQ(full.event(399).post_state[1], builtin_state::end);
  compiled_schema over = compile_schema(schema_text(U"", events + U"  _one_more `x` 1 -e\n"));
  EXPECT_EQ(over.error_text(), in_schema("array size = 'levent' is too small ..."));
}

}  // namespace
}  // namespace zr
