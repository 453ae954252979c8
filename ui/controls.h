// Typed references to the controls of the main window. Each carries the
// control's exact layout name; the kinds keep an edit box away from a list
// operation at compile time.
#pragma once

#include <compare>
#include <string_view>

#include "ui/layout.h"

namespace zelkor {

struct EditBox {
  std::string_view name;  // UTF-8 layout name
  friend auto operator<=>(const EditBox&, const EditBox&) = default;
};
struct RadioButton {
  std::string_view name;
  friend auto operator<=>(const RadioButton&, const RadioButton&) = default;
};
struct ListView {
  std::string_view name;
  friend auto operator<=>(const ListView&, const ListView&) = default;
};
struct Button {
  std::string_view name;
  friend auto operator<=>(const Button&, const Button&) = default;
};

// The controls the logic addresses, named as in the window layout.
namespace ctl {

inline constexpr EditBox 编辑框1{"编辑框1"};
inline constexpr ListView 超级列表框1{"超级列表框1"};

inline constexpr RadioButton 单选框_百{"单选框_百"};
inline constexpr RadioButton 单选框_十{"单选框_十"};
inline constexpr RadioButton 单选框_个{"单选框_个"};

// The controls of analysis page `page` (its tab, from 0), named by the layout
// rows.
struct PageControls {
  Button run;
  Button copy;
  EditBox output;
};
[[nodiscard]] constexpr PageControls OfPage(int page) {
  const auto p = static_cast<size_t>(page);
  return {Button{layout::kRunButtons.names[p]}, Button{layout::kCopyButtons.names[p]},
          EditBox{layout::kOutputBoxes.names[p]}};
}

// The setting box of page `page` that holds `setting`'s text.
[[nodiscard]] constexpr EditBox SettingBox(const layout::PageSetting& setting, int page) {
  return EditBox{setting.boxes[static_cast<size_t>(page)]};
}

// The name and footer boxes of each page.
inline constexpr EditBox 编辑框_名称 = SettingBox(layout::SettingFor(&PageTexts::name), 0);
inline constexpr EditBox 编辑框_名称1 = SettingBox(layout::SettingFor(&PageTexts::name), 1);
inline constexpr EditBox 编辑框_名称2 = SettingBox(layout::SettingFor(&PageTexts::name), 2);
inline constexpr EditBox 编辑框_脚本 = SettingBox(layout::SettingFor(&PageTexts::footer), 0);
inline constexpr EditBox 编辑框_脚本1 = SettingBox(layout::SettingFor(&PageTexts::footer), 1);
inline constexpr EditBox 编辑框_脚本2 = SettingBox(layout::SettingFor(&PageTexts::footer), 2);

// Kill-digit page.
inline constexpr Button 按钮_杀码 = OfPage(0).run;
inline constexpr Button 按钮1 = OfPage(0).copy;
inline constexpr EditBox 编辑框_杀码 = OfPage(0).output;

// Banker-digit page.
inline constexpr Button 按钮_胆码 = OfPage(1).run;
inline constexpr Button 按钮2 = OfPage(1).copy;
inline constexpr EditBox 编辑框_胆码 = OfPage(1).output;

// Kill-span page.
inline constexpr Button 按钮_杀跨 = OfPage(2).run;
inline constexpr Button 按钮3 = OfPage(2).copy;
inline constexpr EditBox 编辑框_杀跨 = OfPage(2).output;

}  // namespace ctl
}  // namespace zelkor
