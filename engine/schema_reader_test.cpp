#include "engine/schema_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

}  // namespace
}  // namespace zr
