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
  const ShownPart part = ShownEnd(text, ShownLimits{.line_bytes = kShownLineBytes});
  if (part.IsWhole()) {
    Show(ToDisplayLines(text), Text(), false);
    return;
  }
  QString shown;
  for (const ShownSpan& span : part.spans) {
    shown += ToDisplayLines(text.substr(span.begin, span.end - span.begin));
    if (span.cut) shown += QChar(0x2026);
  }
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
