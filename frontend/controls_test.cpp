#include "frontend/controls.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace zr {
namespace {

TEST(Controls, EachHasADistinctNameAndNoEmptyCaption) {
  std::set<std::string> names;
  for (control which : all_controls) {
    std::string name = control_name(which);
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(names.insert(name).second) << name;
    std::optional<text_view> caption = fixed_caption(which);
    if (caption) {
      EXPECT_FALSE(caption->empty()) << name;
    }
  }
  // Text boxes and windows start without a caption; buttons with theirs.
  EXPECT_FALSE(fixed_caption(control::txtSchema));
  EXPECT_FALSE(fixed_caption(control::frmEdit));
  EXPECT_EQ(fixed_caption(control::cmdGo), U"&go");
  EXPECT_STREQ(control_name(control::lbllblException), "lbllblException");
}

TEST(Controls, AValueOutsideTheTableHasNoNameAndNoCaption) {
  const auto stray = static_cast<control>(all_controls.size());
  EXPECT_STREQ(control_name(stray), "");
  EXPECT_FALSE(fixed_caption(stray));
}

}  // namespace
}  // namespace zr
