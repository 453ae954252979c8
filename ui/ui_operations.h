// The boundary between the logic and the window: every read and write of a
// control, the message box, the clipboard, the browser and the theme. The Qt
// window implements it for real; MemoryUi keeps everything in variables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/controls.h"

namespace zelkor {

using Text = std::string;

// Message-box style flags (combine one button set with one icon).
namespace message_style {
inline constexpr int kOk = 0x0;
inline constexpr int kOkCancel = 0x1;
inline constexpr int kAbortRetryIgnore = 0x2;
inline constexpr int kYesNoCancel = 0x3;
inline constexpr int kYesNo = 0x4;
inline constexpr int kRetryCancel = 0x5;
inline constexpr int kButtonMask = 0xF;
inline constexpr int kIconError = 0x10;
inline constexpr int kIconQuestion = 0x20;
inline constexpr int kIconWarning = 0x30;
inline constexpr int kIconInformation = 0x40;
inline constexpr int kIconMask = 0xF0;
inline constexpr int kSystemModal = 0x1000;
}  // namespace message_style

// The code of the button that closed a message box.
enum class ButtonCode : int {
  kOk = 0,
  kCancel = 1,
  kAbort = 2,
  kRetry = 3,
  kIgnore = 4,
  kYes = 5,
  kNo = 6
};

// "信息：" in GBK, the caption of a message box given none.
[[nodiscard]] const Text& DefaultMessageCaption();

class UiOperations {
 public:
  virtual ~UiOperations() = default;

  // The whole content of an edit box; multi-line boxes give CR LF line breaks.
  [[nodiscard]] virtual Text GetBoxText(EditBox box) = 0;
  // Replaces the whole content (read-only boxes accept it too).
  virtual void SetBoxText(EditBox box, const Text& text) = 0;

  [[nodiscard]] virtual bool IsRadioChecked(RadioButton radio) = 0;
  // Selects or clears one button without touching the others of its group.
  virtual void CheckRadio(RadioButton radio, bool checked) = 0;

  [[nodiscard]] virtual int32_t RowCount(ListView list) = 0;
  // Adds an empty, unselected row after the last; returns its index.
  virtual int32_t AppendRow(ListView list) = 0;
  // Changes nothing when `row` names no row.
  virtual void SetCellText(ListView list, int32_t row, int32_t column, const Text& text) = 0;
  // "" when `row` names no row (-1 included).
  [[nodiscard]] virtual Text GetCellText(ListView list, int32_t row, int32_t column) = 0;
  // The first selected row from the top, or -1.
  [[nodiscard]] virtual int32_t SelectedRow(ListView list) = 0;

  // A modal message box with no owner; returns the code of the closing button.
  int ShowMessage(const Text& message, int style = message_style::kOk,
                  const std::optional<Text>& caption = std::nullopt) {
    return ShowMessageBox(message, style, caption ? *caption : DefaultMessageCaption());
  }
  // Empties the clipboard and stores `text` as plain GBK text; false when the
  // clipboard could not be had.
  virtual bool SetClipboardText(const Text& text) = 0;
  // Asks the desktop to open `address` in the browser; does not wait.
  virtual void OpenWebAddress(const Text& address) = 0;
  // Themed drawing on for styles 1 to 3, off for any other number.
  virtual void ApplyVisualStyle(int style) = 0;

 protected:
  virtual int ShowMessageBox(const Text& message, int style, const Text& caption) = 0;
};

}  // namespace zelkor
