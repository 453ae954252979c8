#include "ui/memory_ui.h"

namespace zelkor {

void MemoryUi::Record(std::string_view operation, std::string_view control) {
  std::string entry(operation);
  if (!control.empty()) entry.append("(").append(control).append(")");
  calls_.push_back(std::move(entry));
}

Text MemoryUi::GetBoxText(EditBox box) {
  Record("GetBoxText", box.name);
  auto it = boxes_.find(box.name);
  return it == boxes_.end() ? Text() : it->second;
}

void MemoryUi::SetBoxText(EditBox box, const Text& text) {
  Record("SetBoxText", box.name);
  boxes_.insert_or_assign(std::string(box.name), text);
}

bool MemoryUi::IsRadioChecked(RadioButton radio) {
  Record("IsRadioChecked", radio.name);
  auto it = radios_.find(radio.name);
  return it != radios_.end() && it->second;
}

void MemoryUi::CheckRadio(RadioButton radio, bool checked) {
  Record("CheckRadio", radio.name);
  radios_.insert_or_assign(std::string(radio.name), checked);
}

int32_t MemoryUi::RowCount(ListView list) {
  Record("RowCount", list.name);
  return static_cast<int32_t>(rows_.size());
}

int32_t MemoryUi::AppendRow(ListView list) {
  Record("AppendRow", list.name);
  rows_.emplace_back();
  return static_cast<int32_t>(rows_.size()) - 1;
}

void MemoryUi::SetCellText(ListView list, int32_t row, int32_t column, const Text& text) {
  Record("SetCellText", list.name);
  if (row < 0 || row >= static_cast<int32_t>(rows_.size()) || column < 0 || column > 1) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
}

Text MemoryUi::GetCellText(ListView list, int32_t row, int32_t column) {
  Record("GetCellText", list.name);
  if (row < 0 || row >= static_cast<int32_t>(rows_.size()) || column < 0 || column > 1) return {};
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

int32_t MemoryUi::SelectedRow(ListView list) {
  Record("SelectedRow", list.name);
  return selected_row_;
}

void MemoryUi::SelectRow(int32_t row) {
  selected_row_ = (row >= 0 && row < static_cast<int32_t>(rows_.size())) ? row : -1;
}

int MemoryUi::ShowMessageBox(const Text& message, int style, const Text& caption) {
  Record("ShowMessage");
  messages_.push_back({message, style, caption});
  return message_answer_ ? message_answer_(messages_.back()) : static_cast<int>(ButtonCode::kOk);
}

bool MemoryUi::SetClipboardText(const Text& text) {
  Record("SetClipboardText");
  if (!clipboard_available_) return false;
  clipboard_ = text;
  return true;
}

void MemoryUi::OpenWebAddress(const Text& address) {
  Record("OpenWebAddress");
  opened_addresses_.push_back(address);
}

void MemoryUi::ApplyVisualStyle(int style) {
  Record("ApplyVisualStyle");
  visual_style_ = (style >= 1 && style <= 3) ? style : 0;
}

}  // namespace zelkor
