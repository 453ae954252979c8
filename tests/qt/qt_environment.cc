// One QApplication for the whole test binary, created before the first case
// and destroyed after the last.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = new QApplication(argc_, argv_); }

  // Windows the cases kept for the whole run go before the application.
  void TearDown() override {
    qDeleteAll(QApplication::topLevelWidgets());
    delete app_;
    app_ = nullptr;
  }
  // A process that ends through exit() (a death test) skips TearDown; the
  // application must then not be destroyed among the static objects, after
  // parts of Qt are already gone, so the destructor leaves it alone.

 private:
  int argc_ = 1;
  char name_[16] = "zelkor_qt_test";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
