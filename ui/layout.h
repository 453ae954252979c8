// The main window's layout, written once for every toolkit: each control's
// name, kind, parent, geometry, caption and look. Positions are relative to
// the parent's client area: the window, a page of 高级选择夹1 (which spans the
// whole tab control) or a group box. Names and captions are UTF-8; box
// contents come from the initial page texts.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/initial_texts.h"

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

// The initial page text a box starts with (nullptr: none).
using InitialText = Text InitialTexts::*;

inline constexpr int kPageCount = 3;
using PerPage = std::array<std::string_view, kPageCount>;

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
inline constexpr PerPage kPageCaptions{"  杀码  ", "  胆码  ", "  杀跨  "};

struct ListColumn {
  std::string_view header;
  int width;
};
inline constexpr std::array kListColumns{ListColumn{" 期号", 50}, ListColumn{"开奖号码", 80}};

struct PageControl {
  PerPage names;
  Kind kind;
  Look look;
  Geometry geometry;
  PerPage captions;
};

inline constexpr std::array kPageControls{
    PageControl{{"编辑框_杀码", "编辑框_胆码", "编辑框_杀跨"},
                Kind::kEditBox,
                Look::kOutputBox,
                {0, 22, 330, 150},
                {}},
    PageControl{{"按钮_杀码", "按钮_胆码", "按钮_杀跨"},
                Kind::kButton,
                Look::kPlain,
                {210, 180, 80, 32},
                {"预测杀码", "预测胆码", "预测杀跨"}},
    PageControl{{"按钮1", "按钮2", "按钮3"},
                Kind::kButton,
                Look::kPlain,
                {210, 240, 80, 32},
                {"复制", "复制", "复制"}},
    PageControl{
        {"分组框1", "分组框2", "分组框3"}, Kind::kGroupBox, Look::kPlain, {5, 172, 184, 119}, {}},
};
inline constexpr std::string_view kGroupBoxRole = "分组框1";
// The kill-span page's group box is shorter than the other two.
inline constexpr int kLastPageGroupHeight = 114;

struct RadioControl {
  std::string_view name;
  std::string_view caption;
  Geometry geometry;
  bool checked;
};

// On page 0, one automatic group.
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
                 &InitialTexts::separator},
    GroupControl{{"标签9", "标签6", "标签16"},
                 Kind::kLabel,
                 Look::kCaption,
                 {10, 26, 72, 16},
                 "定义我得名称",
                 nullptr},
    GroupControl{{"编辑框_名称", "编辑框_名称1", "编辑框_名称2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {6, 41, 93, 20},
                 {},
                 &InitialTexts::name},
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
                 &InitialTexts::left},
    GroupControl{{"编辑框_右", "编辑框_右1", "编辑框_右2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {92, 61, 24, 16},
                 {},
                 &InitialTexts::right},
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
                 &InitialTexts::correct},
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
                 &InitialTexts::wrong},
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
                 &InitialTexts::not_drawn},
    GroupControl{{"编辑框_脚本", "编辑框_脚本1", "编辑框_脚本2"},
                 Kind::kEditBox,
                 Look::kFooterBox,
                 {6, 82, 172, 29},
                 {},
                 &InitialTexts::footer},
};

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
