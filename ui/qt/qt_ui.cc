#include "ui/qt/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>
#include <QUrl>

#include "ui/qt/clipped_line_edit.h"
#include "ui/qt/compact_text_edit.h"
#include "ui/qt/history_list.h"
#include "ui/qt/message_box.h"
#include "ui/qt/output_text_edit.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/shown_text.h"

namespace zelkor {
namespace {

// The frame colour of each themed scheme.
QString FrameColour(int style) {
  switch (style) {
    case 1:
      return QStringLiteral("rgb(123, 158, 189)");
    case 2:
      return QStringLiteral("rgb(143, 164, 105)");
    case 3:
      return QStringLiteral("rgb(150, 150, 168)");
    default:
      return {};
  }
}

}  // namespace

QtUi::QtUi(QWidget& window) : window_(window) {
  for (QWidget* child : window_.findChildren<QWidget*>()) {
    const QString name = child->objectName();
    // Qt names some of its own inner widgets with a "qt_" prefix.
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
    controls_.emplace(name.toStdString(), child);
  }
}

QWidget* QtUi::Find(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QLineEdit* QtUi::LineEditOf(EditBox box) const { return qobject_cast<QLineEdit*>(Find(box.name)); }

QPlainTextEdit* QtUi::TextEditOf(EditBox box) const {
  return qobject_cast<QPlainTextEdit*>(Find(box.name));
}

QRadioButton* QtUi::RadioOf(RadioButton radio) const {
  return qobject_cast<QRadioButton*>(Find(radio.name));
}

QAbstractButton* QtUi::ButtonOf(Button button) const {
  return qobject_cast<QAbstractButton*>(Find(button.name));
}

HistoryListView* QtUi::ListOf(ListView list) const {
  return dynamic_cast<HistoryListView*>(Find(list.name));
}

Text QtUi::GetBoxText(EditBox box) {
  if (auto* clipped = dynamic_cast<ClippedLineEdit*>(Find(box.name))) return clipped->WholeText();
  if (auto* output = dynamic_cast<OutputTextEdit*>(Find(box.name))) return output->WholeText();
  if (QLineEdit* line = LineEditOf(box)) return FromQString(line->text());
  if (QPlainTextEdit* lines = TextEditOf(box)) return FromDisplayLines(lines->toPlainText());
  if (auto* lines = qobject_cast<QTextEdit*>(Find(box.name))) {
    return FromDisplayLines(lines->toPlainText());
  }
  return {};
}

void QtUi::SetBoxText(EditBox box, const Text& text) {
  if (auto* clipped = dynamic_cast<ClippedLineEdit*>(Find(box.name))) {
    clipped->SetWholeText(text);
    // Show the start of a long text, as a freshly filled box does.
    clipped->setCursorPosition(0);
  } else if (QLineEdit* line = LineEditOf(box)) {
    line->setText(ToQString(text));
    // Show the start of a long text, as a freshly filled box does.
    line->setCursorPosition(0);
  } else if (auto* output = dynamic_cast<OutputTextEdit*>(Find(box.name))) {
    output->SetWholeText(text);
    // The newest lines and the next-issue line are at the end, and that is
    // what the user runs an analysis for.
    output->moveCursor(QTextCursor::End);
    output->ensureCursorVisible();
  } else if (QPlainTextEdit* lines = TextEditOf(box)) {
    lines->setPlainText(ToDisplayLines(text));
  } else if (auto* compact = dynamic_cast<CompactTextEdit*>(Find(box.name))) {
    compact->SetPlainLines(ToDisplayLines(text));
  }
}

bool QtUi::IsRadioChecked(RadioButton radio) {
  const QRadioButton* button = RadioOf(radio);
  return button != nullptr && button->isChecked();
}

void QtUi::CheckRadio(RadioButton radio, bool checked) {
  QRadioButton* button = RadioOf(radio);
  if (button == nullptr) return;
  // Exclusivity belongs to the user's click; here the other buttons keep
  // their state, and the only checked button may be cleared.
  const bool exclusive = button->autoExclusive();
  button->setAutoExclusive(false);
  button->setChecked(checked);
  button->setAutoExclusive(exclusive);
}

int32_t QtUi::RowCount(ListView list) {
  HistoryListView* view = ListOf(list);
  return view == nullptr ? 0 : view->history().RowCount();
}

int32_t QtUi::AppendRow(ListView list) {
  HistoryListView* view = ListOf(list);
  return view == nullptr ? -1 : view->history().AppendRow();
}

void QtUi::SetCellText(ListView list, int32_t row, int32_t column, const Text& text) {
  if (HistoryListView* view = ListOf(list)) view->history().SetCell(row, column, text);
}

Text QtUi::GetCellText(ListView list, int32_t row, int32_t column) {
  HistoryListView* view = ListOf(list);
  return view == nullptr ? Text() : view->history().Cell(row, column);
}

int32_t QtUi::SelectedRow(ListView list) {
  const HistoryListView* view = ListOf(list);
  return view == nullptr ? -1 : view->SelectedRow();
}

int QtUi::ShowMessageBox(const Text& message, int style, const Text& caption) {
  return ShowStyledMessageBox(message, style, caption);
}

bool QtUi::SetClipboardText(const Text& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  // The clipboard holds a zero-terminated text: nothing after a zero byte.
  clipboard->setText(ToQStringInPieces(std::string_view(text.c_str())));
  return true;
}

void QtUi::OpenWebAddress(const Text& address) {
  // Handed to the desktop's URL handler directly, never through a shell.
  QDesktopServices::openUrl(QUrl(ToQString(address), QUrl::TolerantMode));
}

QString QtUi::VisualStyleSheet(int style) {
  const QString frame = FrameColour(style);
  if (frame.isEmpty()) return {};
  return QStringLiteral(
             "QLineEdit, QPlainTextEdit, QTextEdit, QTreeView { border: 1px solid %1; }"
             "QPushButton { border: 1px solid %1; border-radius: 3px; padding: 0px;"
             "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff,"
             "  stop:1 #e4e9ef); }"
             "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
             "  stop:0 #fffaf0, stop:1 #f9dfa8); }"
             "QPushButton:pressed { background: #dde4ec; }"
             "QPushButton:focus { border: 2px solid %1; }"
             "QGroupBox { border: 1px solid %1; border-radius: 3px; margin-top: 6px; }"
             "QHeaderView::section { border: none; border-right: 1px solid %1;"
             "  border-bottom: 1px solid %1; padding: 0px 2px;"
             "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff,"
             "  stop:1 #eaeef3); }")
      .arg(frame);
}

void QtUi::ApplyVisualStyle(int style) {
  // The theme covers every window of the program, message boxes included.
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    app->setStyleSheet(VisualStyleSheet(style));
  }
}

}  // namespace zelkor
