#include "app/win32_event_wiring.h"

#include <exception>
#include <memory>

#include "analysis/analysis.h"
#include "draws/draws.h"
#include "runtime/runtime_error.h"
#include "ui/win32/main_window.h"

namespace zelkor {

void WireWin32Events(win32::MainWindow& window) {
  UiOperations& ui = window.ui();
  for (const AnalysisPage* page : AllAnalysisPages()) {
    window.SetButtonHandler(page->RunButton(),
                            [&ui, page] { RunGuarded([&] { RunAnalysisWalk(ui, *page); }); });
    window.SetButtonHandler(page->CopyButton(),
                            [&ui, page] { RunGuarded([&] { CopyOutputBox(ui, *page); }); });
  }
  window.SetListClickHandler([&ui] { RunGuarded([&ui] { ShowSelectedDraw(ui); }); });
}

int RunWin32Program(const StartupConfig& config) {
  std::unique_ptr<win32::MainWindow> window;
  try {
    window = win32::CreateMainWindow();
  } catch (const std::exception&) {
    ReportRuntimeError(RuntimeError::WindowCreationFailed());
  }
  // The creation event: everything start-up does happens before the user
  // sees the window.
  RunGuarded([&] { RunStartup(window->ui(), config); });
  WireWin32Events(*window);
  window->Show();
  const int exit_code = window->RunMessageLoop();
  window.reset();
  ReleaseProgramTexts();
  return exit_code;
}

}  // namespace zelkor
