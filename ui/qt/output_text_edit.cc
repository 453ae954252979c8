#include "ui/qt/output_text_edit.h"

#include <QMimeData>
#include <QTextDocument>
#include <utility>

#include "ui/qt/qt_text.h"
#include "ui/qt/shown_text.h"
#include "ui/qt/wrap_mode.h"

namespace zelkor {
namespace {

// What a multi-line box gives back of `gbk`: a document breaks lines at CR,
// LF and CR LF alike and reads every break back as LF.
QString MultiLineForm(std::string_view gbk) {
  QTextDocument document;
  document.setPlainText(ToDisplayLines(gbk));
  QString back = document.toPlainText();
  back.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return back;
}

}  // namespace

OutputTextEdit::OutputTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Text put in any other way (typed, pasted) replaces the whole text.
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (setting_ || !is_clipped_) return;
    is_clipped_ = false;
    clipped_.clear();
    setReadOnly(false);
  });
}

void OutputTextEdit::SetPlainLines(const QString& text) { Show(text, Text(), false); }

void OutputTextEdit::Show(const QString& shown, Text whole, bool is_clipped) {
  setting_ = true;
  WrapForNewText(*this, shown);
  setPlainText(shown);
  setting_ = false;
  is_clipped_ = is_clipped;
  clipped_ = std::move(whole);
  // Typing into a text partly hidden would edit what cannot be seen.
  setReadOnly(is_clipped_);
}

void OutputTextEdit::SetWholeText(const Text& gbk) {
  const std::string_view text(gbk);
  QString shown;
  bool is_clipped = false;
  // Shown as it is from `kept` up to the line being scanned.
  size_t kept = 0;
  size_t line = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    const bool at_break = pos == text.size() || text[pos] == '\r' || text[pos] == '\n';
    if (!at_break) {
      pos += ConvertedWidthAt(text, pos);
      continue;
    }
    if (pos - line > kShownLineBytes) {
      shown += ToDisplayLines(text.substr(kept, line - kept));
      shown += ShownPrefix(text.substr(line, pos - line), kShownLineBytes);
      kept = pos;
      is_clipped = true;
    }
    if (pos == text.size()) break;
    pos += text.substr(pos, 2) == "\r\n" ? 2 : 1;
    line = pos;
  }
  if (!is_clipped) {
    Show(ToDisplayLines(text), Text(), false);
    return;
  }
  shown += ToDisplayLines(text.substr(kept));
  Show(shown, gbk, true);
}

Text OutputTextEdit::WholeText() const {
  if (!is_clipped_) return FromDisplayLines(toPlainText());
  return ReadBackInPieces(clipped_, MultiLineForm);
}

void OutputTextEdit::insertFromMimeData(const QMimeData* source) {
  WrapForInsertedText(*this, source);
  QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace zelkor
