#include "frontend/recent_files.h"

#include <gtest/gtest.h>

#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::front_end_test;
using testing::put_file;

TEST(RecentFiles, ReadWriteAndKeepTheNewestEight) {
  EXPECT_EQ(parse_recent(U"a\tb\r\nno tab\n\tx\nc d\te f\n"),
            (std::vector<file_pair>{{U"a", U"b"}, {U"c d", U"e f"}}));
  std::vector<file_pair> pairs;
  for (char32_t k = U'1'; k <= U'9'; ++k)
    pairs = with_recent(pairs, {text(1, k), U"src"});
  ASSERT_EQ(pairs.size(), recent_limit);
  EXPECT_EQ(pairs.front().schema, U"9");
  EXPECT_EQ(pairs.back().schema, U"2");
  pairs = with_recent(pairs, {U"5", U"src"});
  EXPECT_EQ(pairs.front().schema, U"5");
  EXPECT_EQ(pairs.size(), recent_limit);
  EXPECT_EQ(parse_recent(recent_text(pairs)), pairs);
}

using RecentMenu = front_end_test;

TEST_F(RecentMenu, LoadedPairsAreOfferedAndLoadAgain) {
  put_file(home / "a.txt", "schema a");
  put_file(home / "b.inc", "source b");
  start();
  ui.set_box_text(control::txtSchemaFile, U"a.txt");
  ui.set_box_text(control::txtSourceFile, U"b.inc");
  ui.press(control::cmdSavePreferences);
  ui.press(control::cmdLoad);
  ASSERT_EQ(ui.menus[control::cmdRecent].size(), 2u);
  EXPECT_EQ(ui.menus[control::cmdRecent][0], U"a.txt  +  b.inc");
  EXPECT_EQ(file_bytes(home / "recent.txt"),
            "a.txt\tb.inc\nexample/vbs_c/s.txt\texample/vbs_c/reallife.inc\n");
  ui.choose(control::cmdRecent, 1);
  EXPECT_EQ(fe().state.schema_path, home / "example/vbs_c/s.txt");
  EXPECT_EQ(ui.box_text(control::txtSchemaFile), U"example/vbs_c/s.txt");
  EXPECT_EQ(ui.menus[control::cmdRecent][0], U"example/vbs_c/s.txt  +  example/vbs_c/reallife.inc");
  // A pair whose file is gone changes nothing.
  std::filesystem::remove(home.path() / "a.txt");
  ui.choose(control::cmdRecent, 1);
  EXPECT_EQ(fe().state.schema_path, home / "example/vbs_c/s.txt");
  EXPECT_NE(console().find(U"`a.txt` does not exist"), text::npos);
  ui.choose(control::cmdRecent, 99);
}

}  // namespace
}  // namespace zr
