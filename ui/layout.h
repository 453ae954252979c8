// The main window's layout, written once for every toolkit: each control's
// name, kind, parent, geometry, caption and look. Positions are relative to
// the parent's client area: the window, a page of 高级选择夹1 (which spans the
// whole tab control) or a group box. Names and captions are UTF-8; box
// contents come from the initial page texts.
#pragma once

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/page_texts.h"

namespace zelkor::layout {

enum class Kind { kEditBox, kListView, kTabControl, kButton, kGroupBox, kLabel, kRadioButton };

// What a control looks like beyond what its kind gives.
enum class Look {
  kPlain,
  kDrawBox,     // 编辑框1: read-only, centred, big bold red digits
  kOutputBox,   // multi-line, vertical scroll bar, blue on white
  kSettingBox,  // single line, red on white
  kFooterBox,   // multi-line without scroll bars, red on white
  kCaption,     // red static text
  kDisabledCaption,
};

struct Geometry {
  int left;
  int top;
  int width;
  int height;
  friend bool operator==(const Geometry&, const Geometry&) = default;
};

// An RGB colour.
struct Colour {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// A font by its face name (UTF-8), character height in pixels and weight.
struct FontSpec {
  std::string_view face;
  int height;
  int weight;
};

// The window itself.
inline constexpr std::string_view kWindowTitle = "Zelkor3D软件";
inline constexpr int kOuterWidth = 495;
inline constexpr int kOuterHeight = 323;

inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kBlue{0, 0, 255};
// The frame colour of each themed scheme (1 to 3).
inline constexpr std::array<Colour, 3> kSchemeFrames{
    {{123, 158, 189}, {143, 164, 105}, {150, 150, 168}}};

inline constexpr FontSpec kDrawBoxFont{"新宋体", 20, 700};
inline constexpr FontSpec kTabCaptionFont{"SimSun", 12, 400};

// The setting text a box shows (nullptr: none).
using InitialText = Text PageTexts::*;

// One page of 高级选择夹1: its tab caption, the height of its group box,
// which is not the same on every page, and whether it is judged at a kill
// position, which puts the radio buttons 百, 十 and 个 on it.
struct PageRow {
  std::string_view caption;
  int group_height;
  bool kill_position;
};
inline constexpr std::array kPages{
    PageRow{"  杀码  ", 119, true},
    PageRow{"  胆码  ", 119, false},
    PageRow{"  杀跨  ", 114, false},
};
inline constexpr int kPageCount = static_cast<int>(kPages.size());
// The radio buttons exist once, so one page at most can hold them.
static_assert(std::ranges::count(kPages, true, &PageRow::kill_position) <= 1,
              "the kill-position radio buttons sit on one page only");

// One text of a row of controls on each page (a name or a caption), given
// for every page or for none: a page added to kPages fails to compile until
// each row names its control there, instead of getting an empty name.
class PerPage : public std::array<std::string_view, kPages.size()> {
 public:
  // No text on any page.
  constexpr PerPage() : array{} {}
  // One text for each page; implicit, so that a table row reads as a braced
  // list of texts.
  template <typename... Texts>
  requires(sizeof...(Texts) == kPages.size() &&
           (std::convertible_to<Texts, std::string_view> && ...)) constexpr PerPage(Texts... texts)
      : array{std::string_view(texts)...} {}
};

struct WindowControl {
  std::string_view name;
  Kind kind;
  Look look;
  Geometry geometry;
};

inline constexpr std::array kWindowControls{
    WindowControl{"编辑框1", Kind::kEditBox, Look::kDrawBox, {16, 16, 136, 40}},
    WindowControl{"超级列表框1", Kind::kListView, Look::kPlain, {8, 64, 152, 232}},
    WindowControl{"高级选择夹1", Kind::kTabControl, Look::kPlain, {159, 9, 329, 295}},
};
inline constexpr std::string_view kTabControlName = "高级选择夹1";

struct ListColumn {
  std::string_view header;
  int width;
};
// The issue column holds a seven-digit issue number in a Chinese UI face
// (about 50 pixels in the widest) with the list's cell margins; the digits
// column keeps the rest, room enough for its title.
inline constexpr std::array kListColumns{ListColumn{" 期号", 60}, ListColumn{"开奖号码", 70}};

struct PageControl {
  PerPage names;
  Kind kind;
  Look look;
  Geometry geometry;
  PerPage captions;
};

// The controls of every page, by role; the logic names a page's buttons and
// output box from these rows (ui/controls.h).
inline constexpr PageControl kOutputBoxes{{"编辑框_杀码", "编辑框_胆码", "编辑框_杀跨"},
                                          Kind::kEditBox,
                                          Look::kOutputBox,
                                          {0, 22, 330, 150},
                                          {}};
inline constexpr PageControl kRunButtons{{"按钮_杀码", "按钮_胆码", "按钮_杀跨"},
                                         Kind::kButton,
                                         Look::kPlain,
                                         {210, 180, 80, 32},
                                         {"预测杀码", "预测胆码", "预测杀跨"}};
inline constexpr PageControl kCopyButtons{{"按钮1", "按钮2", "按钮3"},
                                          Kind::kButton,
                                          Look::kPlain,
                                          {210, 240, 80, 32},
                                          {"复制", "复制", "复制"}};
// The group box holding a page's setting boxes; its height is the page's
// own (kPages).
inline constexpr PageControl kGroupBoxes{
    {"分组框1", "分组框2", "分组框3"}, Kind::kGroupBox, Look::kPlain, {5, 172, 184, 0}, {}};
inline constexpr std::array kPageControls{kOutputBoxes, kRunButtons, kCopyButtons, kGroupBoxes};

struct RadioControl {
  std::string_view name;
  std::string_view caption;
  Geometry geometry;
  bool checked;
};

// On the page judged at a kill position, one automatic group.
inline constexpr std::array kRadioButtons{
    RadioControl{"单选框_百", "百", {201, 214, 32, 24}, true},
    RadioControl{"单选框_十", "十", {237, 214, 32, 24}, false},
    RadioControl{"单选框_个", "个", {273, 214, 32, 24}, false},
};

struct GroupControl {
  PerPage names;
  Kind kind;
  Look look;
  Geometry geometry;
  std::string_view caption;
  InitialText initial;
};

inline constexpr std::array kGroupControls{
    GroupControl{{"标签8", "标签7", "标签21"},
                 Kind::kLabel,
                 Look::kDisabledCaption,
                 {1, 9, 64, 16},
                 "间隔符定义",
                 nullptr},
    GroupControl{{"编辑框_间隔", "编辑框_间隔1", "编辑框_间隔2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {65, 8, 40, 20},
                 {},
                 &PageTexts::separator},
    GroupControl{{"标签9", "标签6", "标签16"},
                 Kind::kLabel,
                 Look::kCaption,
                 // Ends where the name box below it starts.
                 {10, 26, 72, 15},
                 "定义我得名称",
                 nullptr},
    GroupControl{{"编辑框_名称", "编辑框_名称1", "编辑框_名称2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {6, 41, 93, 20},
                 {},
                 &PageTexts::name},
    GroupControl{{"标签10", "标签5", "标签15"},
                 Kind::kLabel,
                 Look::kCaption,
                 {3, 61, 61, 16},
                 "胆码左扩符",
                 nullptr},
    GroupControl{{"编辑框_左", "编辑框_左1", "编辑框_左2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {67, 61, 24, 16},
                 {},
                 &PageTexts::left},
    GroupControl{{"编辑框_右", "编辑框_右1", "编辑框_右2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {92, 61, 24, 16},
                 {},
                 &PageTexts::right},
    GroupControl{{"标签17", "标签4", "标签14"},
                 Kind::kLabel,
                 Look::kCaption,
                 {117, 61, 60, 16},
                 "胆码右扩符",
                 nullptr},
    GroupControl{{"标签18", "标签1", "标签11"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 8, 31, 16},
                 "正确:",
                 nullptr},
    GroupControl{{"编辑框_准", "编辑框_准1", "编辑框_准2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {137, 8, 40, 16},
                 {},
                 &PageTexts::correct},
    GroupControl{{"标签19", "标签2", "标签12"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 27, 31, 16},
                 "错误:",
                 nullptr},
    GroupControl{{"编辑框_错", "编辑框_错1", "编辑框_错2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {136, 27, 40, 16},
                 {},
                 &PageTexts::wrong},
    GroupControl{{"标签20", "标签3", "标签13"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 44, 31, 16},
                 "未开:",
                 nullptr},
    GroupControl{{"编辑框_未开", "编辑框_未开1", "编辑框_未开2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {136, 44, 40, 16},
                 {},
                 &PageTexts::not_drawn},
    GroupControl{{"编辑框_脚本", "编辑框_脚本1", "编辑框_脚本2"},
                 Kind::kEditBox,
                 Look::kFooterBox,
                 {6, 82, 172, 29},
                 {},
                 &PageTexts::footer},
};

// One setting text: the member it fills, the report tool's option for it and
// its box on each page. The window, the report and the tests read the eight
// texts through this table.
struct PageSetting {
  InitialText member;
  std::string_view option;
  PerPage boxes;
};

namespace internal {
// The row of kPageSettings for `member`, with the boxes the layout gives it.
consteval PageSetting Setting(InitialText member, std::string_view option) {
  for (const GroupControl& control : kGroupControls) {
    if (control.initial == member) return {member, option, control.names};
  }
  throw "no setting box shows this text";
}
}  // namespace internal

inline constexpr std::array kPageSettings{
    internal::Setting(&PageTexts::separator, "--separator"),
    internal::Setting(&PageTexts::name, "--name"),
    internal::Setting(&PageTexts::left, "--left"),
    internal::Setting(&PageTexts::right, "--right"),
    internal::Setting(&PageTexts::correct, "--correct"),
    internal::Setting(&PageTexts::wrong, "--wrong"),
    internal::Setting(&PageTexts::not_drawn, "--not-drawn"),
    internal::Setting(&PageTexts::footer, "--footer"),
};
static_assert(std::ranges::count_if(kGroupControls,
                                    [](const GroupControl& c) { return c.initial != nullptr; }) ==
                  std::ssize(kPageSettings),
              "every setting box has its row in kPageSettings");

// The row of kPageSettings for `member`.
consteval const PageSetting& SettingFor(InitialText member) {
  for (const PageSetting& setting : kPageSettings) {
    if (setting.member == member) return setting;
  }
  throw "no setting fills this member";
}

// One control of the window with everything a toolkit needs to make it.
struct PlacedControl {
  std::string_view name;
  Kind kind;
  Look look;
  Geometry geometry;         // relative to the parent's client area
  std::string_view caption;  // UTF-8; "" for none
  InitialText initial;       // the box's initial page text, or nullptr
  int page;                  // page of 高级选择夹1, or -1 on the window
  std::string_view group;    // the group box holding it, or ""
  bool checked;              // radio buttons: selected at start
};

// Every control of the window, each parent before its children: the window's
// controls, then per page its controls, its group's controls and (page 0)
// the radio buttons.
[[nodiscard]] const std::vector<PlacedControl>& AllControls();

}  // namespace zelkor::layout
