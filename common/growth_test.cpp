#include "common/growth.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

// Appends below and above the huge-page size, onto an empty text, and of a
// text's own characters (`&a..,a..` appends a variable to itself).
TEST(GrowthTest, AppendsKeepEveryCharacterAtEverySize) {
  const std::size_t large = huge_storage_bytes / sizeof(char32_t) + 7;
  for (std::size_t size : {std::size_t{0}, std::size_t{5}, large}) {
    std::u32string s(size, U'x');
    s += U"ab";
    const std::u32string before = s;
    append_growing(s, std::u32string_view(s));  // view into its own storage
    EXPECT_EQ(s, before + before) << size;
    append_growing(s, std::u32string_view(U"z"));
    EXPECT_EQ(s.back(), U'z');
    EXPECT_EQ(s.size(), 2 * before.size() + 1);
  }
}

TEST(GrowthTest, ReserveKeepsTheTextAndGivesExactRoomWhenEmpty) {
  std::string empty;
  reserve_growing(empty, huge_storage_bytes + 1);
  EXPECT_GE(empty.capacity(), huge_storage_bytes + 1);
  EXPECT_LT(empty.capacity(), 2 * huge_storage_bytes);
  std::string s = "kept";
  const std::size_t old_capacity = s.capacity();
  reserve_growing(s, huge_storage_bytes + 1);
  EXPECT_EQ(s, "kept");
  EXPECT_GE(s.capacity(), std::max(huge_storage_bytes + 1, 2 * old_capacity));
}

}  // namespace
}  // namespace zr
