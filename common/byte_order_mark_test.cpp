#include "common/byte_order_mark.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

TEST(ByteOrderMark, RemovedOnlyAtTheStart) {
  struct Case {
    std::string bytes, left;
    bool removed;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF\\\\schema", "\\\\schema", true},
      {"\xEF\xBB\xBF", "", true},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\xEF\xBB\xBFx", true},  // only one mark is removed
      {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF", false},
      {"\xEF\xBB", "\xEF\xBB", false},
      {"", "", false},
  };
  for (Case c : cases) {
    EXPECT_EQ(remove_byte_order_mark(c.bytes), c.removed);
    EXPECT_EQ(c.bytes, c.left);
  }
}

}  // namespace
}  // namespace zr
