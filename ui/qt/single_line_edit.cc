#include "ui/qt/single_line_edit.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace zelkor {

SingleLineEdit::SingleLineEdit(QWidget* parent) : QLineEdit(parent) {}

QString SingleLineEdit::FirstLine(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
      return text.left(i);
    }
  }
  return text;
}

void SingleLineEdit::PasteFirstLine(QClipboard::Mode mode) {
  if (isReadOnly()) return;
  const QString text = FirstLine(QGuiApplication::clipboard()->text(mode));
  if (!text.isEmpty() || hasSelectedText()) insert(text);
}

// Qt's paste key, context-menu entry, middle-button paste and drop each insert
// the whole text; these four are the ways a text from elsewhere comes in.
void SingleLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Paste) {
    PasteFirstLine();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void SingleLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // The paste entry is the action wired to paste(); it is rewired to ours.
  // Qt wires it by signature, to the argument-less form of triggered, which a
  // member-function pointer cannot name.
  for (QAction* action : menu->actions()) {
    if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
        disconnect(action, &QAction::triggered, this, &QLineEdit::paste)) {
      connect(action, &QAction::triggered, this, [this] { PasteFirstLine(); });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void SingleLineEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && !isReadOnly() &&
      QGuiApplication::clipboard()->supportsSelection()) {
    deselect();
    PasteFirstLine(QClipboard::Selection);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void SingleLineEdit::dropEvent(QDropEvent* event) {
  const QMimeData* source = event->mimeData();
  if (source == nullptr || !source->hasText() || FirstLine(source->text()) == source->text()) {
    QLineEdit::dropEvent(event);
    return;
  }
  QMimeData first_line;
  first_line.setText(FirstLine(source->text()));
  QDropEvent copy(event->position(), event->possibleActions(), &first_line, event->buttons(),
                  event->modifiers());
  copy.setDropAction(event->dropAction());
  QLineEdit::dropEvent(&copy);
  event->setDropAction(copy.dropAction());
  event->setAccepted(copy.isAccepted());
}

}  // namespace zelkor
