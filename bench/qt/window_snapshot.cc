// Shows the window as a user sees it after start-up and one analysis, and
// saves a picture of it: window_snapshot <out.png> [plain]; "plain" leaves
// the themed drawing off. Needs a display (Xvfb).
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <string>

#include "analysis/analysis.h"
#include "draws/draws.h"
#include "ui/qt/history_list.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: window_snapshot <out.png> [plain]\n");
    return 2;
  }
  QApplication app(argc, argv);
  std::unique_ptr<zelkor::MainWindow> window = zelkor::CreateMainWindow();
  zelkor::QtUi& ui = window->ui();
  const zelkor::ListView list = zelkor::ctl::超级列表框1;
  uint32_t seed = 2024;
  for (int i = 0; i < 40; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int32_t row = ui.AppendRow(list);
    ui.SetCellText(list, row, 1, std::to_string(100 + (seed >> 8) % 900).substr(0, 3));
    ui.SetCellText(list, row, 0, std::to_string(2024140 - i));
  }
  ui.CheckRadio(zelkor::ctl::单选框_百, true);
  ui.ApplyVisualStyle(argc > 2 ? 0 : 1);
  zelkor::RunAnalysisWalk(ui, zelkor::KillDigitPage());
  auto& view = window->history_list();
  view.selectionModel()->select(view.model()->index(0, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  zelkor::ShowSelectedDraw(ui);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return 1;
  QTest::qWait(500);
  const QPixmap shot =
      window->screen()->grabWindow(0, window->x(), window->y(), window->width(), window->height());
  return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
