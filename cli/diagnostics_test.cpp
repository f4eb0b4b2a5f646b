#include "cli/diagnostics.h"

#include <gtest/gtest.h>

#include "cli/batch.h"

namespace zr {
namespace {

TEST(HeaderWarnings, UnknownDirectivesWithTheNearestKnownOne) {
  const std::string schema =
      "\\\\tocken case insensetive=f\n"   // known
      "\\\\token case insensitive=f\r\n"  // misspelled
      "  \\\\debug schema=t\n"            // not at the line start: no directive
      "\\\\help\n"                        // known without "="
      "\\\\debug schema =t\n"             // a blank before "="
      "\\\\zzzzzzzzzzzzzzzzzzzzzz\n"      // nothing near
      "\\\\schema main\n\\\\bogus=1\n";   // after the header: not read
  const std::vector<warning> warnings = header_warnings(schema);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(warnings[0].line, 2);
  EXPECT_EQ(warnings[0].message,
            "unknown header directive `\\\\token case insensitive`; did you mean "
            "`\\\\tocken case insensetive`?");
  EXPECT_EQ(warnings[1].line, 5);
  EXPECT_EQ(warnings[1].message,
            "unknown header directive `\\\\debug schema `; did you mean `\\\\debug schema`?");
  EXPECT_EQ(warnings[2].message, "unknown header directive `\\\\zzzzzzzzzzzzzzzzzzzzzz`");
}

TEST(BatchOutputs, OneResultFilePerSourceName) {
  std::string error;
  EXPECT_EQ(batch_outputs({"a/x.inc", "y"}, "out", error),
            (std::vector<std::string>{"out/x.inc.out", "out/y.out"}));
  EXPECT_TRUE(batch_outputs({"a/x.inc", "b/x.inc"}, "out", error).empty());
  EXPECT_EQ(error, "two sources would both write out/x.inc.out");
}

}  // namespace
}  // namespace zr
