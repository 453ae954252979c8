// Invariants of the layout tables that every page, present or added, must
// keep; the controls themselves are checked against the window in the
// toolkits' tests.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ui/layout.h"

namespace zelkor::layout {
namespace {

TEST(LayoutTableTest, EveryControlHasAUniqueNameAndSitsOnAPageOfTheTable) {
  std::set<std::string_view> names;
  std::vector<int> radios_on_page(kPages.size());
  for (const PlacedControl& control : AllControls()) {
    SCOPED_TRACE(std::string(control.name));
    EXPECT_FALSE(control.name.empty());
    EXPECT_TRUE(names.insert(control.name).second) << "named twice";
    EXPECT_GE(control.page, -1);
    EXPECT_LT(control.page, kPageCount);
    EXPECT_TRUE(control.page >= 0 || control.group.empty());
    EXPECT_GT(control.geometry.width, 0);
    EXPECT_GT(control.geometry.height, 0);
    const bool captioned = control.kind == Kind::kButton || control.kind == Kind::kRadioButton;
    EXPECT_TRUE(!captioned || !control.caption.empty());
    if (control.kind == Kind::kRadioButton) ++radios_on_page[static_cast<size_t>(control.page)];
  }
  for (size_t page = 0; page < kPages.size(); ++page) {
    SCOPED_TRACE(page);
    EXPECT_FALSE(kPages[page].caption.empty());
    const int radios = kPages[page].kill_position ? static_cast<int>(kRadioButtons.size()) : 0;
    EXPECT_EQ(radios_on_page[page], radios);
  }
}

// Each setting box sits in its page's group box, and the boxes of one
// setting differ from page to page.
TEST(LayoutTableTest, EverySettingHasABoxOnEveryPage) {
  std::set<std::string_view> options;
  for (const PageSetting& setting : kPageSettings) {
    SCOPED_TRACE(std::string(setting.option));
    EXPECT_TRUE(setting.option.starts_with("--"));
    EXPECT_TRUE(options.insert(setting.option).second) << "option given twice";
    const std::set<std::string_view> boxes(setting.boxes.begin(), setting.boxes.end());
    EXPECT_EQ(boxes.size(), kPages.size());
    for (const PlacedControl& control : AllControls()) {
      if (!boxes.contains(control.name)) continue;
      EXPECT_EQ(control.initial, setting.member);
      EXPECT_EQ(control.group, kGroupBoxes.names[static_cast<size_t>(control.page)]);
    }
  }
}

}  // namespace
}  // namespace zelkor::layout
