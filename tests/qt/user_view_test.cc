// What a user meets in the window: pasting into setting boxes, the footer
// boxes' whole lines, where the output box rests after a run, Qt's own texts.
#include <QAbstractButton>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <functional>

#include "ui/qt/footer_text_edit.h"
#include "ui/qt/qt_translations.h"
#include "ui/qt/single_line_edit.h"
#include "ui/qt/tab_control.h"
#include "window_fixture.h"

namespace zelkor::testing {
namespace {

using UserViewTest = WindowTest;

void PasteKey(QLineEdit& box) { QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier); }

void PasteShiftInsert(QLineEdit& box) { QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier); }

void PasteFromContextMenu(QLineEdit& box) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), box.mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(&box, &event);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(QStringLiteral("&Paste"))) paste = action;
  }
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  delete menu;  // with its submenus, which are top-level widgets of their own
}

void Drop(QLineEdit& box) {
  QMimeData data;
  data.setText(QGuiApplication::clipboard()->text());
  const QPointF at(box.width() - 2, box.height() / 2);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&box, &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&box, &drop);
}

// Every way a text from elsewhere comes into a setting box stops at its first
// line break; the text around the cursor stays.
TEST_F(UserViewTest, PastingIntoASettingBoxKeepsTheFirstLine) {
  const struct {
    const char* name;
    std::function<void(QLineEdit&)> paste;
  } ways[] = {{"Ctrl+V", PasteKey},
              {"Shift+Insert", PasteShiftInsert},
              {"context menu", PasteFromContextMenu},
              {"drop", Drop}};
  const struct {
    QString pasted;
    QString kept;
  } texts[] = {
      {QStringLiteral("名称\r\n第二行"), QStringLiteral("名称")},
      {QStringLiteral("ab\ncd\n"), QStringLiteral("ab")},
      {QStringLiteral("ab\rcd"), QStringLiteral("ab")},
      {QString::fromUtf16(u"ab\u2029cd"), QStringLiteral("ab")},
      {QStringLiteral("\nab"), QString()},
      {QStringLiteral("a b"), QStringLiteral("a b")},
  };
  auto* box = Control<QLineEdit>("编辑框_名称1");
  ASSERT_NE(dynamic_cast<SingleLineEdit*>(box), nullptr);
  for (const auto& way : ways) {
    for (const auto& text : texts) {
      SCOPED_TRACE(std::string(way.name) + ": " + text.pasted.toStdString());
      box->setText(QStringLiteral("[]"));
      box->setFocus();
      box->setCursorPosition(way.name == std::string("drop") ? 2 : 1);
      QGuiApplication::clipboard()->setText(text.pasted);
      way.paste(*box);
      const QString want =
          way.name == std::string("drop") ? "[]" + text.kept : "[" + text.kept + "]";
      EXPECT_EQ(box->text(), want);
    }
  }
  // Texts the program sets are taken as they are.
  ui().SetBoxText(ctl::编辑框_名称1, "a\r\nb");
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_名称1), "a\r\nb");
  ui().SetBoxText(ctl::编辑框_名称1, Gbk("Zelkor3D杀码"));
}

TEST_F(UserViewTest, FooterBoxesShowOnlyWholeLines) {
  const char* const names[] = {"编辑框_脚本", "编辑框_脚本1", "编辑框_脚本2"};
  for (int page = 0; page < 3; ++page) {
    const char* name = names[page];
    SCOPED_TRACE(name);
    window().tabs().SetCurrentIndex(page);
    QApplication::processEvents();
    auto* footer = dynamic_cast<FooterTextEdit*>(Control<QTextEdit>(name));
    ASSERT_NE(footer, nullptr);
    // 29 pixels less the frame hold two 12-pixel lines below the 1-pixel
    // document margin; the 2 rows under them would show the third line's top.
    EXPECT_EQ(footer->height(), 29);
    EXPECT_EQ(footer->ShownLines(), 2);
    EXPECT_EQ(footer->viewport()->height(), 1 + 2 * 12);
    // The note wraps into three lines, so there is a line below to hide.
    EXPECT_GE(footer->document()->documentLayout()->documentSize().height(), 1 + 3 * 12);
  }
  window().tabs().SetCurrentIndex(0);
}

TEST_F(UserViewTest, OutputBoxShowsItsEndAfterARun) {
  Text text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\r\n";
  text += "next";
  auto* output = Control<QPlainTextEdit>("编辑框_杀码");
  ASSERT_NE(output, nullptr);
  ui().SetBoxText(ctl::编辑框_杀码, text);
  QApplication::processEvents();
  const QScrollBar& bar = *output->verticalScrollBar();
  // Scrolled down to the last line, which is in full view.
  EXPECT_GT(bar.value(), 0);
  EXPECT_TRUE(output->textCursor().atEnd());
  EXPECT_TRUE(output->viewport()->rect().contains(output->cursorRect()));
  // The box shows about eight lines: the top one is among the last few.
  EXPECT_GT(output->cursorForPosition(QPoint(4, 4)).blockNumber(),
            output->document()->blockCount() - 12);
  ui().SetBoxText(ctl::编辑框_杀码, "");
}

TEST_F(UserViewTest, QtsOwnTextsAreChinese) {
  QTranslator* chinese = InstallChineseQtTranslations(*QApplication::instance());
  ASSERT_NE(chinese, nullptr) << "Qt's Chinese translations (qt6-translations-l10n) are missing";
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
  std::unique_ptr<QMenu> menu(Control<QLineEdit>("编辑框_名称")->createStandardContextMenu());
  QStringList entries;
  for (const QAction* action : menu->actions()) entries << action->text();
  EXPECT_TRUE(entries.join('|').contains(QStringLiteral("粘贴")))
      << entries.join('|').toStdString();
  QCoreApplication::removeTranslator(chinese);
  delete chinese;
}

}  // namespace
}  // namespace zelkor::testing
