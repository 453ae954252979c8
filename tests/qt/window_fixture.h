// The real main window, built once per test binary and shared by its cases.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <ostream>
#include <string>

#include "runtime/gbk.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_ui.h"

// Failure messages show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace zelkor::testing {

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!window_) window_ = CreateMainWindow().release();
  }

  // Shown again in case an earlier case closed it.
  void SetUp() override {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }

  static MainWindow& window() { return *window_; }
  static QtUi& ui() { return window_->ui(); }
  template <typename T>
  static T* Control(std::string_view name) {
    return qobject_cast<T*>(window_->Control(name));
  }

 private:
  // Deleted with the other top-level widgets when the test environment ends.
  static inline MainWindow* window_ = nullptr;
};

}  // namespace zelkor::testing
