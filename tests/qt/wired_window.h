// A window with its events wired, driven as a user drives it; shared by the
// tests that go through the window's buttons.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <memory>
#include <vector>

#include "analysis/analysis.h"
#include "app/qt_event_wiring.h"
#include "tests/support/ui_fixtures.h"
#include "ui/qt/main_window.h"
#include "ui/qt/tab_control.h"

namespace zelkor::testing {

// A new window, wired and shown, with `rows` (newest first) in its list.
inline std::unique_ptr<MainWindow> WiredWindow(const std::vector<HistoryRow>& rows = {}) {
  std::unique_ptr<MainWindow> window = CreateMainWindow();
  WireEvents(*window);
  test_support::FillHistory(window->ui(), rows);
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  return window;
}

// Switches to `page` and clicks the button there, as a user would.
inline void ClickOnPage(MainWindow& window, int page, Button button) {
  window.tabs().SetCurrentIndex(page);
  QAbstractButton* widget = window.ButtonOf(button);
  ASSERT_NE(widget, nullptr) << button.name;
  ASSERT_TRUE(widget->isVisible()) << button.name;
  QTest::mouseClick(widget, Qt::LeftButton);
}

}  // namespace zelkor::testing
