// UiOperations on the real controls of the Win32 main window. Controls are
// found by their layout name; texts cross between GBK and UTF-16 here.
#pragma once

#include <windows.h>

#include "ui/ui_operations.h"

namespace zelkor::win32 {

class MainWindow;

class Win32Ui final : public UiOperations {
 public:
  // `window` must outlive this.
  explicit Win32Ui(MainWindow& window) : window_(window) {}

  Text GetBoxText(EditBox box) override;
  void SetBoxText(EditBox box, const Text& text) override;
  bool IsRadioChecked(RadioButton radio) override;
  void CheckRadio(RadioButton radio, bool checked) override;
  int32_t RowCount(ListView list) override;
  int32_t AppendRow(ListView list) override;
  void SetCellText(ListView list, int32_t row, int32_t column, const Text& text) override;
  Text GetCellText(ListView list, int32_t row, int32_t column) override;
  int32_t SelectedRow(ListView list) override;
  bool SetClipboardText(const Text& text) override;
  void OpenWebAddress(const Text& address) override;
  void ApplyVisualStyle(int style) override;

 protected:
  int ShowMessageBox(const Text& message, int style, const Text& caption) override;

 private:
  HWND EditOf(EditBox box) const;
  HWND ListOf(ListView list) const;

  MainWindow& window_;
};

// The button code (OK 0, Cancel 1, ... No 6) of a MessageBox result.
[[nodiscard]] int ButtonCodeOf(int dialog_result);

}  // namespace zelkor::win32
