// The main window of Zelkor3D, built in code from the layout tables.
//
// Use from main():
//   QApplication app(argc, argv);
//   zelkor::InstallQtRuntimeErrorPresenter();
//   std::unique_ptr<zelkor::MainWindow> window = zelkor::CreateMainWindow();
//   zelkor::WireEvents(*window);           // app/qt_event_wiring.h
//   RunStartup(window->ui());              // the creation event
//   window->show();                        // centred, page 0 in front
//   return app.exec();                     // closing the window ends the loop
//
// The client area is 489 x 298 pixels: the layout's outer size of 495 x 323
// less a fixed frame of 3 pixels on each side and a 19-pixel title bar. The
// tab control reaches 6 pixels past the bottom of that area, as it does in
// the layout; nothing but the bottom edge of its frame is cut off.
#pragma once

#include <QWidget>
#include <memory>
#include <string_view>

#include "ui/controls.h"

class QAbstractButton;

namespace zelkor {

class HistoryListView;
class QtUi;
class TabControl;

class MainWindow : public QWidget {
 public:
  static constexpr int kClientWidth = 495 - 2 * 3;
  static constexpr int kClientHeight = 323 - 19 - 2 * 3;

  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The operations the logic uses on this window's controls.
  [[nodiscard]] QtUi& ui() { return *ui_; }

  // The widget named `name` (UTF-8 layout name), or nullptr.
  [[nodiscard]] QWidget* Control(std::string_view name) const;
  [[nodiscard]] QAbstractButton* ButtonOf(Button button) const;
  [[nodiscard]] HistoryListView& history_list() const { return *history_list_; }
  [[nodiscard]] TabControl& tabs() const { return *tabs_; }

 private:
  class EscapeCloser;

  HistoryListView* history_list_ = nullptr;
  TabControl* tabs_ = nullptr;
  std::unique_ptr<QtUi> ui_;
  EscapeCloser* escape_closer_ = nullptr;
};

// Builds the main window with every control and its initial content, page 0
// in front and 单选框_百 selected, positioned centred on the primary screen;
// does not show it.
[[nodiscard]] std::unique_ptr<MainWindow> CreateMainWindow();

// Shows run-time error reports in a modal message box (caption "错误", error
// icon, one OK button). Call once a QApplication exists.
void InstallQtRuntimeErrorPresenter();

}  // namespace zelkor
