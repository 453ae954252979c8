#include "ui/qt/footer_text_edit.h"

#include <QResizeEvent>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace zelkor {

FooterTextEdit::FooterTextEdit(int line_pitch, QWidget* parent)
    : CompactTextEdit(line_pitch, parent), line_pitch_(line_pitch) {}

int FooterTextEdit::ShownLines() const {
  const int margin = static_cast<int>(std::lround(document()->documentMargin()));
  return std::max(1, (height() - 2 * frameWidth() - margin) / line_pitch_);
}

void FooterTextEdit::FitViewportToWholeLines() {
  const int margin = static_cast<int>(std::lround(document()->documentMargin()));
  const int inner = height() - 2 * frameWidth();
  const int whole = margin + ShownLines() * line_pitch_;
  setViewportMargins(0, 0, 0, std::max(0, inner - whole));
}

void FooterTextEdit::resizeEvent(QResizeEvent* event) {
  FitViewportToWholeLines();
  CompactTextEdit::resizeEvent(event);
}

}  // namespace zelkor
