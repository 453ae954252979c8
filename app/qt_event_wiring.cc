#include "app/qt_event_wiring.h"

#include <QAbstractButton>

#include "analysis/analysis.h"
#include "draws/draws.h"
#include "runtime/runtime_error.h"
#include "ui/qt/history_list.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_ui.h"

namespace zelkor {
namespace {

// Connects the button's click notification (mouse or keyboard) to `handler`.
void OnClicked(MainWindow& window, Button button, std::function<void()> handler) {
  QAbstractButton* widget = window.ButtonOf(button);
  if (widget == nullptr) return;
  QObject::connect(widget, &QAbstractButton::clicked, &window,
                   [handler = std::move(handler)] { RunGuarded(handler); });
}

}  // namespace

void WireEvents(MainWindow& window) {
  UiOperations& ui = window.ui();
  for (const AnalysisPage* page : AllAnalysisPages()) {
    OnClicked(window, page->RunButton(), [&ui, page] { RunAnalysisWalk(ui, *page); });
    OnClicked(window, page->CopyButton(), [&ui, page] { CopyOutputBox(ui, *page); });
  }
  // Raised after the click has updated the selection; arrow keys raise nothing.
  window.history_list().SetClickHandler([&ui] { RunGuarded([&ui] { ShowSelectedDraw(ui); }); });
}

}  // namespace zelkor
