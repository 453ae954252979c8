// UiOperations over plain variables, for tests and for running the logic
// without a window. Records every call in order.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/ui_operations.h"

namespace zelkor {

class MemoryUi : public UiOperations {
 public:
  struct Message {
    Text text;
    int style = 0;
    Text caption;
  };
  // Answers a message box; by default every box is closed with OK.
  using MessageAnswer = std::function<int(const Message&)>;

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

  // What a user's click would do: selects `row` alone, or clears the
  // selection for a row that names none.
  void SelectRow(int32_t row);
  void SetMessageAnswer(MessageAnswer answer) { message_answer_ = std::move(answer); }
  // While false, the clipboard cannot be opened.
  void SetClipboardAvailable(bool available) { clipboard_available_ = available; }

  const std::vector<Message>& messages() const { return messages_; }
  const Text& clipboard() const { return clipboard_; }
  const std::vector<Text>& opened_addresses() const { return opened_addresses_; }
  int visual_style() const { return visual_style_; }
  // One entry per operation call, "Operation" or "Operation(name)" in UTF-8.
  const std::vector<std::string>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 protected:
  int ShowMessageBox(const Text& message, int style, const Text& caption) override;

 private:
  void Record(std::string_view operation, std::string_view control = {});

  std::map<std::string, Text, std::less<>> boxes_;
  std::map<std::string, bool, std::less<>> radios_;
  std::vector<std::array<Text, 2>> rows_;
  int32_t selected_row_ = -1;
  Text clipboard_;
  bool clipboard_available_ = true;
  std::vector<Message> messages_;
  MessageAnswer message_answer_;
  std::vector<Text> opened_addresses_;
  int visual_style_ = 0;
  std::vector<std::string> calls_;
};

}  // namespace zelkor
