// UiOperations on the real widgets of the main window. Controls are found by
// their layout name (the widget's objectName); texts cross between GBK and
// Unicode here and nowhere else.
#pragma once

#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "ui/ui_operations.h"

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QWidget;

namespace zelkor {

class HistoryListView;

class QtUi final : public UiOperations {
 public:
  // Indexes every named control below `window`, which must outlive this.
  explicit QtUi(QWidget& window);

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

  // The widget named `name` (UTF-8 layout name), or nullptr.
  [[nodiscard]] QWidget* Find(std::string_view name) const;
  [[nodiscard]] QAbstractButton* ButtonOf(Button button) const;
  [[nodiscard]] HistoryListView* ListOf(ListView list) const;

  // The style sheet ApplyVisualStyle sets for `style`; empty for the plain look.
  [[nodiscard]] static QString VisualStyleSheet(int style);

 protected:
  int ShowMessageBox(const Text& message, int style, const Text& caption) override;

 private:
  QLineEdit* LineEditOf(EditBox box) const;
  QPlainTextEdit* TextEditOf(EditBox box) const;
  QRadioButton* RadioOf(RadioButton radio) const;

  QWidget& window_;
  std::map<std::string, QWidget*, std::less<>> controls_;
};

}  // namespace zelkor
