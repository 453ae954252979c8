#include "analysis/analysis.h"

#include <algorithm>
#include <utility>

namespace zelkor {

KillPositionChoice KillPosition(UiOperations& ui) {
  KillPositionChoice choice;
  int32_t position = 1;
  for (const RadioButton radio : {ctl::单选框_百, ctl::单选框_十, ctl::单选框_个}) {
    if (ui.IsRadioChecked(radio)) {
      choice.position = position;
      choice.multiplier = KillPositionMultiplier(position);
    }
    ++position;
  }
  return choice;
}

void RunAnalysisWalk(UiOperations& ui, const AnalysisPage& page) {
  ui.SetBoxText(page.OutputBox(), Text());

  int32_t position = 0;
  if (page.HasKillPosition()) position = KillPosition(ui).position;

  const int32_t row_count = ui.RowCount(ctl::超级列表框1);
  std::vector<HistoryRow> rows;
  rows.reserve(static_cast<size_t>(std::max(row_count, 0)));
  for (int32_t row = 0; row < row_count; ++row) {
    HistoryRow history_row;
    history_row.issue = ui.GetCellText(ctl::超级列表框1, row, 0);
    history_row.digits = ui.GetCellText(ctl::超级列表框1, row, 1);
    rows.push_back(std::move(history_row));
  }

  PageTexts texts;
  for (const layout::PageSetting& setting : layout::kPageSettings) {
    texts.*setting.member = ui.GetBoxText(ctl::SettingBox(setting, page.tab));
  }

  // A notice is modal in the window: the walk resumes once it is closed.
  const Notify notify = [&ui](const Text& message) { ui.ShowMessage(message); };
  ui.SetBoxText(page.OutputBox(), BuildPageText(page, rows, texts, position, notify));
}

void CopyOutputBox(UiOperations& ui, const AnalysisPage& page) {
  // A clipboard that cannot be had is passed over without a word.
  ui.SetClipboardText(ui.GetBoxText(page.OutputBox()));
}

}  // namespace zelkor
