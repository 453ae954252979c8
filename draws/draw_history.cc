#include "draws/draws.h"
#include "ui/controls.h"

namespace zelkor {

Text DrawListAddress(std::string_view host) { return TextJoin("http://", host, kDrawListPath); }

void LoadDrawHistory(UiOperations& ui, const Text& address) {
  LoadDrawHistory(ui, address, FetchOptions());
}

void LoadDrawHistory(UiOperations& ui, const Text& address, const FetchOptions& options) {
  const Text document = TextFromBytes(HttpFetchWith(address, options));
  const std::vector<DrawRecord> draws = ParseDrawList(document);
  // The list is empty before, so the row appended for the i-th draw is row i.
  int32_t row = 0;
  for (const DrawRecord& draw : draws) {
    ui.AppendRow(ctl::超级列表框1);
    ui.SetCellText(ctl::超级列表框1, row, 1, draw.digits);
    ui.SetCellText(ctl::超级列表框1, row, 0, draw.issue);
    ++row;
  }
  ui.SetBoxText(ctl::编辑框1, ui.GetCellText(ctl::超级列表框1, 0, 1));
}

void ShowSelectedDraw(UiOperations& ui) {
  const int32_t row = ui.SelectedRow(ctl::超级列表框1);
  ui.SetBoxText(ctl::编辑框1, ui.GetCellText(ctl::超级列表框1, row, 1));
}

}  // namespace zelkor
