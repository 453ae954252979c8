// Filling a window's list and setting boxes through the UI operations, as the
// start-up sequence and a user would.
#pragma once

#include <vector>

#include "analysis/analysis.h"
#include "ui/ui_operations.h"

namespace zelkor::test_support {

// Appends the rows (newest first) to 超级列表框1 in the order the history is
// loaded: a row, its digits, then its issue.
inline void FillHistory(UiOperations& ui, const std::vector<HistoryRow>& rows) {
  for (const HistoryRow& row : rows) {
    const int32_t index = ui.AppendRow(ctl::超级列表框1);
    ui.SetCellText(ctl::超级列表框1, index, 1, row.digits);
    ui.SetCellText(ctl::超级列表框1, index, 0, row.issue);
  }
}

// Sets the eight setting boxes of `page`.
inline void FillPageBoxes(UiOperations& ui, const AnalysisPage& page, const PageTexts& texts) {
  for (const layout::PageSetting& setting : layout::kPageSettings) {
    ui.SetBoxText(ctl::SettingBox(setting, page.tab), texts.*setting.member);
  }
}

}  // namespace zelkor::test_support
