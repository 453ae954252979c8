// The window's events reach the logic: run and copy buttons, list clicks,
// Esc, and the run-time error report.
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "app/qt_event_wiring.h"
#include "runtime/runtime_error.h"
#include "tests/support/ui_fixtures.h"
#include "ui/page_texts.h"
#include "ui/qt/history_list.h"
#include "ui/qt/message_box.h"
#include "ui/qt/tab_control.h"
#include "window_fixture.h"
#include "wired_window.h"

namespace zelkor::testing {
namespace {

// Newest first.
const std::vector<HistoryRow> kBankerRows{
    {"2023125", "458"}, {"2023124", "907"}, {"2023123", "123"}};

QPoint RowCentre(HistoryListView& list, int row) {
  return list.visualRect(list.model()->index(row, 1)).center();
}

Text Lines(std::string_view utf8) { return Gbk(utf8) + InitialPageTexts().footer; }

// One wired window with the banker-page history, shared by the cases.
class WiringTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (window_ == nullptr) window_ = WiredWindow(kBankerRows).release();
  }
  void SetUp() override {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }

  static MainWindow& window() { return *window_; }
  static QtUi& ui() { return window_->ui(); }

 private:
  static inline MainWindow* window_ = nullptr;
};

TEST_F(WiringTest, RunButtonsWriteThePageAnalysis) {
  struct Case {
    int page;
    Button run;
    EditBox output;
    Text expected;
  };
  const Case cases[] = {
      {1, ctl::按钮_胆码, ctl::编辑框_胆码,
       Lines("┊2023124期:Zelkor3D杀码┊【469】┊907准√\r\n"
             "┊2023125期:Zelkor3D杀码┊【273】┊458错Ｘ\r\n"
             "┊2023126期:Zelkor3D杀码┊【158】┊未开\r\n")},
      {2, ctl::按钮_杀跨, ctl::编辑框_杀跨,
       Lines("┊2023124期:Zelkor3D杀码┊【36】┊907准√\r\n"
             "┊2023125期:Zelkor3D杀码┊【03】┊458准√\r\n"
             "┊2023126期:Zelkor3D杀码┊【12】┊未开\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.run.name);
    ui().SetBoxText(c.output, "stale");
    ClickOnPage(window(), c.page, c.run);
    EXPECT_EQ(ui().GetBoxText(c.output), c.expected);
  }
  window().tabs().SetCurrentIndex(0);
}

TEST_F(WiringTest, KillDigitRunReadsTheHundredsPosition) {
  std::unique_ptr<MainWindow> other =
      WiredWindow({{"2024003", "789"}, {"2024002", "456"}, {"2024001", "123"}});
  ClickOnPage(*other, 0, ctl::按钮_杀码);
  EXPECT_EQ(other->ui().GetBoxText(ctl::编辑框_杀码),
            Lines("┊2024002期:Zelkor3D杀码┊【4】┊456错Ｘ\r\n"
                  "┊2024003期:Zelkor3D杀码┊【6】┊789准√\r\n"
                  "┊2024004期:Zelkor3D杀码┊【8】┊未开\r\n"));
}

TEST_F(WiringTest, KeyboardActivatesARunButton) {
  ui().SetBoxText(ctl::编辑框_胆码, "");
  window().tabs().SetCurrentIndex(1);
  QAbstractButton* run = window().ButtonOf(ctl::按钮_胆码);
  run->setFocus();
  QTest::keyClick(run, Qt::Key_Space);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_胆码).substr(0, 6), Gbk("┊2023"));
  window().tabs().SetCurrentIndex(0);
}

TEST_F(WiringTest, CopyButtonsPutTheirOwnOutputBoxOnTheClipboard) {
  struct Case {
    int page;
    Button copy;
    EditBox output;
    Text text;
  };
  const Case cases[] = {
      {0, ctl::按钮1, ctl::编辑框_杀码, Gbk("┊2024004期:Zelkor3D杀码┊【8】┊未开\r\n注:")},
      {1, ctl::按钮2, ctl::编辑框_胆码, Gbk("胆码\r\n\r\n末行")},
      {2, ctl::按钮3, ctl::编辑框_杀跨, ""},
  };
  for (const Case& c : cases) ui().SetBoxText(c.output, c.text);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copy.name);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    ClickOnPage(window(), c.page, c.copy);
    EXPECT_EQ(FromQString(QGuiApplication::clipboard()->text()), c.text);
  }
  window().tabs().SetCurrentIndex(0);
}

TEST_F(WiringTest, ListClicksShowTheSelectedDrawAndArrowsDoNot) {
  HistoryListView& list = window().history_list();
  QWidget* rows = list.viewport();
  QTest::mouseClick(rows, Qt::LeftButton, {}, RowCentre(list, 1));
  EXPECT_EQ(ui().SelectedRow(ctl::超级列表框1), 1);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "907");

  // Arrow keys move the selection but raise no event.
  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(ui().SelectedRow(ctl::超级列表框1), 2);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "907");

  // A header click neither sorts nor raises the list's click.
  const int header_x = list.header()->sectionViewportPosition(1) + 10;
  QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                    QPoint(header_x, list.header()->height() / 2));
  EXPECT_EQ(ui().GetCellText(ctl::超级列表框1, 0, 1), "458");
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "907");

  QTest::mouseClick(rows, Qt::LeftButton, {}, RowCentre(list, 0));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "458");

  // Below the last row: nothing stays selected and the box empties.
  const QPoint below(20, rows->height() - 4);
  ASSERT_FALSE(list.indexAt(below).isValid());
  QTest::mouseClick(rows, Qt::LeftButton, {}, below);
  EXPECT_EQ(ui().SelectedRow(ctl::超级列表框1), -1);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "");

  // A right click is not the list's click.
  QTest::mouseClick(rows, Qt::RightButton, {}, RowCentre(list, 2));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "");
}

TEST_F(WiringTest, EscapeClosesTheWindowFromAnyControl) {
  for (std::string_view name :
       {"编辑框_杀码", "编辑框_脚本", "编辑框_名称", "按钮_杀码", "超级列表框1"}) {
    SCOPED_TRACE(name);
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    QWidget* control = window().Control(name);
    ASSERT_NE(control, nullptr);
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
  }
}

TEST_F(WiringTest, KillSpanNoticeIsShownModallyAndTheRunGoesOn) {
  std::unique_ptr<MainWindow> other = WiredWindow({{"2023125", "45"}, {"2023124", "907"}});
  std::vector<QString> notices;
  SetMessageBoxHook([&notices](QMessageBox& box) {
    notices.push_back(box.text());
    EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
    return QMessageBox::Ok;
  });
  ClickOnPage(*other, 2, ctl::按钮_杀跨);
  SetMessageBoxHook(nullptr);
  EXPECT_FALSE(notices.empty());
  for (const QString& notice : notices) EXPECT_EQ(notice, Caption("请查看你输入是否对错"));
  EXPECT_NE(other->ui().GetBoxText(ctl::编辑框_杀跨).find(Gbk("┊2023126期")), std::string::npos);
}

TEST(RuntimeErrorReportDeathTest, ShowsTheReportInABoxThenEndsWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetMessageBoxHook([](QMessageBox& box) {
          QString text = box.text();
          text.replace('\n', '|');
          std::fprintf(stderr, "caption=%s icon=%d buttons=%d parent=%d text=%s\n",
                       box.windowTitle().toUtf8().constData(), static_cast<int>(box.icon()),
                       static_cast<int>(box.standardButtons()), box.parentWidget() != nullptr,
                       text.toUtf8().constData());
          return QMessageBox::Ok;
        });
        InstallQtRuntimeErrorPresenter();
        RunGuarded([] { throw RuntimeError::IndexBelowOne(); });
      },
      ::testing::ExitedWithCode(255),
      "caption=错误 icon=3 buttons=1024 parent=0 "
      "text=运行时出错!\\|\\|错误代码：4\\|\\|错误信息：数组成员引用下标必须大于等于1");
}

}  // namespace
}  // namespace zelkor::testing
