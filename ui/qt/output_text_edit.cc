#include "ui/qt/output_text_edit.h"

#include <QMimeData>

#include "ui/qt/wrap_mode.h"

namespace zelkor {

OutputTextEdit::OutputTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void OutputTextEdit::SetPlainLines(const QString& text) {
  const QTextOption::WrapMode wrap = WrapModeFor(text);
  // Emptied first, so that a change of wrapping does not lay out the old text again.
  if (wrap != wordWrapMode()) {
    clear();
    setWordWrapMode(wrap);
  }
  setPlainText(text);
}

void OutputTextEdit::insertFromMimeData(const QMimeData* source) {
  if (source != nullptr && source->hasText() && HoldsOverlongWord(source->text())) {
    setWordWrapMode(QTextOption::WrapAnywhere);
  }
  QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace zelkor
