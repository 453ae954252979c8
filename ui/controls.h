// Typed references to the controls of the main window. Each carries the
// control's exact layout name; the kinds keep an edit box away from a list
// operation at compile time.
#pragma once

#include <compare>
#include <string_view>

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

// Kill-digit page.
inline constexpr Button 按钮_杀码{"按钮_杀码"};
inline constexpr Button 按钮1{"按钮1"};
inline constexpr EditBox 编辑框_杀码{"编辑框_杀码"};
inline constexpr EditBox 编辑框_间隔{"编辑框_间隔"};
inline constexpr EditBox 编辑框_名称{"编辑框_名称"};
inline constexpr EditBox 编辑框_左{"编辑框_左"};
inline constexpr EditBox 编辑框_右{"编辑框_右"};
inline constexpr EditBox 编辑框_准{"编辑框_准"};
inline constexpr EditBox 编辑框_错{"编辑框_错"};
inline constexpr EditBox 编辑框_未开{"编辑框_未开"};
inline constexpr EditBox 编辑框_脚本{"编辑框_脚本"};

// Banker-digit page.
inline constexpr Button 按钮_胆码{"按钮_胆码"};
inline constexpr Button 按钮2{"按钮2"};
inline constexpr EditBox 编辑框_胆码{"编辑框_胆码"};
inline constexpr EditBox 编辑框_间隔1{"编辑框_间隔1"};
inline constexpr EditBox 编辑框_名称1{"编辑框_名称1"};
inline constexpr EditBox 编辑框_左1{"编辑框_左1"};
inline constexpr EditBox 编辑框_右1{"编辑框_右1"};
inline constexpr EditBox 编辑框_准1{"编辑框_准1"};
inline constexpr EditBox 编辑框_错1{"编辑框_错1"};
inline constexpr EditBox 编辑框_未开1{"编辑框_未开1"};
inline constexpr EditBox 编辑框_脚本1{"编辑框_脚本1"};

// Kill-span page.
inline constexpr Button 按钮_杀跨{"按钮_杀跨"};
inline constexpr Button 按钮3{"按钮3"};
inline constexpr EditBox 编辑框_杀跨{"编辑框_杀跨"};
inline constexpr EditBox 编辑框_间隔2{"编辑框_间隔2"};
inline constexpr EditBox 编辑框_名称2{"编辑框_名称2"};
inline constexpr EditBox 编辑框_左2{"编辑框_左2"};
inline constexpr EditBox 编辑框_右2{"编辑框_右2"};
inline constexpr EditBox 编辑框_准2{"编辑框_准2"};
inline constexpr EditBox 编辑框_错2{"编辑框_错2"};
inline constexpr EditBox 编辑框_未开2{"编辑框_未开2"};
inline constexpr EditBox 编辑框_脚本2{"编辑框_脚本2"};

}  // namespace ctl
}  // namespace zelkor
