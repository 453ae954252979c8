#include "app/qt_launch.h"

#include <QApplication>
#include <exception>
#include <memory>

#include "app/qt_event_wiring.h"
#include "runtime/runtime_error.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_translations.h"
#include "ui/qt/qt_ui.h"

namespace zelkor {
namespace {

std::unique_ptr<MainWindow> CreateWindowOrNothing() {
  try {
    return CreateMainWindow();
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

int RunProgram(const StartupConfig& config) {
  InstallQtRuntimeErrorPresenter();
  if (auto* app = QCoreApplication::instance()) InstallChineseQtTranslations(*app);
  std::unique_ptr<MainWindow> window = CreateWindowOrNothing();
  if (window == nullptr) ReportRuntimeError(RuntimeError::WindowCreationFailed());

  // The creation event: everything start-up does happens before the user
  // sees the window.
  RunGuarded([&] { RunStartup(window->ui(), config); });
  WireEvents(*window);
  window->show();
  const int exit_code = QApplication::exec();

  window.reset();
  ReleaseProgramTexts();
  return exit_code;
}

}  // namespace zelkor
