// The window under load, driven as a user drives it. A hundred thousand draws
// go through every page's run button, and a megabyte pasted into a setting
// box goes through a run and the copy button. Each output box, and the
// clipboard, must hold byte for byte what the analysis core gives for the
// same rows and box texts, and the window must still answer afterwards.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "app/qt_event_wiring.h"
#include "ui/qt/history_list.h"
#include "ui/qt/message_box.h"
#include "ui/qt/tab_control.h"
#include "window_fixture.h"
#include "wired_window.h"

namespace zelkor::testing {
namespace {

constexpr int kManyDraws = 100000;
constexpr size_t kMegabyte = size_t{1} << 20;

// Equality that names the first difference instead of printing megabytes.
::testing::AssertionResult SameBytes(const Text& actual, const Text& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const size_t common = std::min(actual.size(), expected.size());
  size_t at = 0;
  while (at < common && actual[at] == expected[at]) ++at;
  const auto excerpt = [at](const Text& text) {
    std::string hex;
    for (size_t i = at; i < std::min(text.size(), at + 12); ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned char>(text[i]));
      hex += byte;
    }
    return hex;
  };
  return ::testing::AssertionFailure()
         << actual.size() << " bytes where " << expected.size() << " were expected; first"
         << " difference at byte " << at << ": " << excerpt(actual) << "instead of "
         << excerpt(expected);
}

// Newest first, as the history lists them; digits 000 to 999.
std::vector<HistoryRow> MakeDraws(int count) {
  std::vector<HistoryRow> rows;
  rows.reserve(static_cast<size_t>(count));
  uint32_t seed = 2024;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03u", (seed >> 8) % 1000);
    rows.push_back({std::to_string(2000000 + count - i), digits});
  }
  return rows;
}

// At least `bytes` bytes of GBK, no line breaks: ASCII letters and spaces
// among double-byte characters from GB2312's hanzi and full-width rows and
// from both GBK extension areas.
Text MixedGbk(size_t bytes) {
  Text text;
  uint32_t seed = 7;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t r = seed >> 8;
    auto pair = [&text](unsigned lead, unsigned trail) {
      text.push_back(static_cast<char>(lead));
      text.push_back(static_cast<char>(trail));
    };
    // GBK's extension areas take trail bytes 0x40 to 0xFE but 0x7F.
    const unsigned extension_trail = 0x40 + r / 64 % 190;
    switch (r % 8) {
      case 0:
        text.push_back(static_cast<char>('A' + r / 8 % 26));
        break;
      case 1:
        text.push_back(r / 8 % 3 == 0 ? ' ' : static_cast<char>('a' + r / 8 % 26));
        break;
      case 2:
        pair(0xA3, 0xA1 + r / 8 % 94);  // full-width forms
        break;
      case 3:
        pair(0x81 + r / 8 % 32, extension_trail + (extension_trail >= 0x7F ? 1 : 0));
        break;
      case 4:
        pair(0xAA + r / 8 % 84, 0x40 + r / 64 % 96 + (0x40 + r / 64 % 96 >= 0x7F ? 1 : 0));
        break;
      default:
        pair(0xB0 + r / 8 % 39, 0xA1 + r / 512 % 94);  // GB2312 hanzi
        break;
    }
  }
  return text;
}

// A megabyte of ASCII letters without a space: one word no line can hold.
Text OneLongWord(size_t bytes) {
  Text text(bytes, 'a');
  for (size_t i = 0; i < bytes; ++i) text[i] = static_cast<char>('a' + i * 7 % 26);
  return text;
}

// Whether the event loop still delivers an event posted now. The limit only
// keeps a hung window from hanging the test.
bool EventLoopAnswers() {
  bool delivered = false;
  QTimer::singleShot(0, qApp, [&delivered] { delivered = true; });
  return QTest::qWaitFor([&delivered] { return delivered; }, 30000);
}

// A click on a row the list shows puts its digits in 编辑框1.
void ExpectListClickShowsDraw(MainWindow& window, const std::vector<HistoryRow>& rows, int row) {
  SCOPED_TRACE(row);
  HistoryListView& list = window.history_list();
  const QModelIndex index = list.model()->index(row, 1);
  list.scrollTo(index);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
  EXPECT_EQ(window.ui().SelectedRow(ctl::超级列表框1), row);
  EXPECT_EQ(window.ui().GetBoxText(ctl::编辑框1), rows[static_cast<size_t>(row)].digits);
}

// Counts the notices of a run instead of showing them.
class NoticeCounter {
 public:
  NoticeCounter() {
    SetMessageBoxHook([this](QMessageBox&) {
      ++shown_;
      return QMessageBox::Ok;
    });
  }
  ~NoticeCounter() { SetMessageBoxHook(nullptr); }
  int shown() const { return shown_; }

 private:
  int shown_ = 0;
};

TEST(LoadTest, HundredThousandDrawsGoThroughEveryRunButton) {
  std::unique_ptr<MainWindow> window = WiredWindow();
  QtUi& ui = window->ui();
  const std::vector<HistoryRow> rows = MakeDraws(kManyDraws);
  test_support::FillHistory(ui, rows);

  ASSERT_EQ(ui.RowCount(ctl::超级列表框1), kManyDraws);
  for (int row = 0; row < kManyDraws; ++row) {
    const HistoryRow& expected = rows[static_cast<size_t>(row)];
    if (ui.GetCellText(ctl::超级列表框1, row, 0) != expected.issue ||
        ui.GetCellText(ctl::超级列表框1, row, 1) != expected.digits) {
      FAIL() << "row " << row << " lost its cells";
    }
  }

  // The kill page at the tens position, chosen as a user chooses it.
  QTest::mouseClick(window->Control("单选框_十"), Qt::LeftButton);
  struct Case {
    int page;
    const AnalysisPage* analysis;
    int32_t position;
  };
  const Case cases[] = {
      {0, &KillDigitPage(), 2},
      {1, &BankerDigitPage(), 0},
      {2, &KillSpanPage(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.analysis->RunButton().name);
    ui.SetBoxText(c.analysis->OutputBox(), "stale");
    NoticeCounter window_notices;
    ClickOnPage(*window, c.page, c.analysis->RunButton());
    int core_notices = 0;
    const Text expected = BuildPageText(*c.analysis, rows, InitialPageTexts(), c.position,
                                        [&core_notices](const Text&) { ++core_notices; });
    // One line per draw (the newest judged, plus the next issue) and the
    // footer's two.
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), kManyDraws + 1);
    EXPECT_TRUE(SameBytes(ui.GetBoxText(c.analysis->OutputBox()), expected));
    EXPECT_EQ(window_notices.shown(), core_notices);
  }

  window->tabs().SetCurrentIndex(0);
  ExpectListClickShowsDraw(*window, rows, kManyDraws - 1);
  ExpectListClickShowsDraw(*window, rows, 0);
  EXPECT_TRUE(EventLoopAnswers());
}

// Every box takes any length: no maximum, validator or mask on a line box,
// no block limit on a multi-line one.
TEST(LoadTest, NoBoxLimitsItsText) {
  std::unique_ptr<MainWindow> window = WiredWindow();
  int boxes = 0;
  for (QLineEdit* line : window->findChildren<QLineEdit*>()) {
    SCOPED_TRACE(line->objectName().toStdString());
    ++boxes;
    EXPECT_EQ(line->maxLength(), std::numeric_limits<int>::max());
    EXPECT_EQ(line->validator(), nullptr);
    EXPECT_TRUE(line->inputMask().isEmpty());
  }
  for (QPlainTextEdit* lines : window->findChildren<QPlainTextEdit*>()) {
    ++boxes;
    EXPECT_EQ(lines->maximumBlockCount(), 0);
  }
  for (QTextEdit* lines : window->findChildren<QTextEdit*>()) {
    ++boxes;
    EXPECT_EQ(lines->document()->maximumBlockCount(), 0);
  }
  // 编辑框1, and per page the output box, seven setting boxes and the footer.
  EXPECT_EQ(boxes, 1 + 3 * 9);
}

// A service that leaves a row element open puts megabytes in a digits cell.
// A click on that row shows the start of them in 编辑框1, the kill page's
// run shows the start of the line that holds them, and the box, the output
// and the copy still give the whole texts.
TEST(LoadTest, HugeDigitsCellIsShownCutAndUsedWhole) {
  std::unique_ptr<MainWindow> window = WiredWindow();
  QtUi& ui = window->ui();
  std::vector<HistoryRow> rows = MakeDraws(4);
  rows[1].digits = "1,2," + Text(2 * kMegabyte, '7');
  test_support::FillHistory(ui, rows);

  ExpectListClickShowsDraw(*window, rows, 1);
  EXPECT_LE(qobject_cast<QLineEdit*>(window->Control("编辑框1"))->text().size(), 257);

  NoticeCounter window_notices;
  ClickOnPage(*window, 0, ctl::按钮_杀码);
  int core_notices = 0;
  const Text expected = BuildPageText(KillDigitPage(), rows, InitialPageTexts(), 1,
                                      [&core_notices](const Text&) { ++core_notices; });
  EXPECT_TRUE(SameBytes(ui.GetBoxText(ctl::编辑框_杀码), expected));
  EXPECT_EQ(window_notices.shown(), core_notices);
  const QTextDocument& shown =
      *qobject_cast<QPlainTextEdit*>(window->Control("编辑框_杀码"))->document();
  for (QTextBlock line = shown.begin(); line.isValid(); line = line.next()) {
    EXPECT_LE(line.length(), 4096 + 2) << line.blockNumber();
  }

  ClickOnPage(*window, 0, ctl::按钮1);
  EXPECT_TRUE(SameBytes(FromQString(QGuiApplication::clipboard()->text()), expected));
  EXPECT_TRUE(EventLoopAnswers());
}

class PastedMegabyteTest : public ::testing::TestWithParam<bool> {};

// A user pastes a megabyte over the banker page's name, types a few more
// characters (one through an input method), runs the page and copies it.
TEST_P(PastedMegabyteTest, RunsAndCopiesWhole) {
  const bool one_word = GetParam();
  const Text pasted = one_word ? OneLongWord(kMegabyte) : MixedGbk(kMegabyte);
  ASSERT_GE(pasted.size(), kMegabyte);
  // Every character must be one GBK and Unicode share, or the comparisons
  // below would test the conversion instead of the window.
  ASSERT_TRUE(pasted == Utf8ToGbk(GbkToUtf8(pasted)));

  std::unique_ptr<MainWindow> window = WiredWindow();
  QtUi& ui = window->ui();
  const std::vector<HistoryRow> rows = MakeDraws(4);
  test_support::FillHistory(ui, rows);

  window->tabs().SetCurrentIndex(1);
  auto* name_box = qobject_cast<QLineEdit*>(window->Control("编辑框_名称1"));
  ASSERT_NE(name_box, nullptr);
  QTest::mouseClick(name_box, Qt::LeftButton);
  ASSERT_TRUE(name_box->hasFocus());
  QGuiApplication::clipboard()->setText(ToQString(pasted));
  QTest::keyClick(name_box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(name_box, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClicks(name_box, QStringLiteral(" No.7"));
  QInputMethodEvent commit;
  commit.setCommitString(Caption("码"));
  QCoreApplication::sendEvent(name_box, &commit);

  PageTexts texts = InitialPageTexts();
  texts.name = pasted + " No.7" + Gbk("码");
  ASSERT_TRUE(SameBytes(ui.GetBoxText(ctl::编辑框_名称1), texts.name));

  NoticeCounter notices;
  ClickOnPage(*window, 1, ctl::按钮_胆码);
  const Text expected =
      BuildPageText(BankerDigitPage(), rows, texts, 0, [](const Text&) { FAIL(); });
  // Each of the four lines carries the name.
  ASSERT_GT(expected.size(), 4 * kMegabyte);
  EXPECT_TRUE(SameBytes(ui.GetBoxText(ctl::编辑框_胆码), expected));
  EXPECT_EQ(notices.shown(), 0);

  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  ClickOnPage(*window, 1, ctl::按钮2);
  EXPECT_TRUE(SameBytes(FromQString(QGuiApplication::clipboard()->text()), expected));

  // The name box shows the end of its text, where the cursor is; a click
  // at its left edge lands near the end of the megabyte, not at its start.
  QTest::mouseClick(name_box, Qt::LeftButton, {}, QPoint(3, name_box->height() / 2));
  EXPECT_GT(name_box->cursorPosition(), name_box->text().size() - 40);
  ExpectListClickShowsDraw(*window, rows, 2);
  EXPECT_TRUE(EventLoopAnswers());
}

INSTANTIATE_TEST_SUITE_P(Texts, PastedMegabyteTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "OneWordOfLetters" : "MixedGbk";
                         });

}  // namespace
}  // namespace zelkor::testing
