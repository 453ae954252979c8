#include "ui/qt/compact_text_edit.h"

#include <QMimeData>
#include <QTextBlockFormat>
#include <QTextCursor>

#include "ui/qt/wrap_mode.h"

namespace zelkor {

CompactTextEdit::CompactTextEdit(int line_pitch, QWidget* parent)
    : QTextEdit(parent), line_pitch_(line_pitch) {
  setAcceptRichText(false);
  document()->setDocumentMargin(1);
  ApplyPitch();
}

void CompactTextEdit::SetPlainLines(const QString& text) {
  WrapForNewText(*this, text);
  setPlainText(text);
  ApplyPitch();
}

void CompactTextEdit::insertFromMimeData(const QMimeData* source) {
  WrapForInsertedText(*this, source);
  QTextEdit::insertFromMimeData(source);
}

// Lines typed or pasted later take the format of the block they start in.
void CompactTextEdit::ApplyPitch() {
  QTextCursor cursor(document());
  cursor.select(QTextCursor::Document);
  QTextBlockFormat pitch;
  pitch.setLineHeight(line_pitch_, QTextBlockFormat::FixedHeight);
  cursor.mergeBlockFormat(pitch);
  // Keep the edit history to what the user does.
  document()->clearUndoRedoStacks();
}

}  // namespace zelkor
