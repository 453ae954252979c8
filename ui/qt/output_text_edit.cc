#include "ui/qt/output_text_edit.h"

#include <QMimeData>

#include "ui/qt/wrap_mode.h"

namespace zelkor {

OutputTextEdit::OutputTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void OutputTextEdit::SetPlainLines(const QString& text) {
  WrapForNewText(*this, text);
  setPlainText(text);
}

void OutputTextEdit::insertFromMimeData(const QMimeData* source) {
  WrapForInsertedText(*this, source);
  QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace zelkor
