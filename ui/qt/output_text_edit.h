// The output box of an analysis page: a plain multi-line box that may hold
// megabytes, wrapped so that laying it out stays linear in its length (see
// wrap_mode.h). A line too long to lay out in good time is shown cut (see
// shown_text.h); the box then keeps its whole text and refuses typing until
// it is given a text without such a line.
#pragma once

#include <QPlainTextEdit>

#include "runtime/text.h"

namespace zelkor {

class OutputTextEdit : public QPlainTextEdit {
 public:
  // Longer than any analysis line short of a hostile draw or setting text,
  // and a few milliseconds to lay out.
  static constexpr size_t kShownLineBytes = 4096;

  explicit OutputTextEdit(QWidget* parent = nullptr);

  // Replaces the content with plain `text` ("\n" between lines) and chooses
  // the wrapping for it.
  void SetPlainLines(const QString& text);

  // Replaces the content with the GBK `text` (CR LF between lines), showing
  // each line longer than kShownLineBytes bytes cut with an ellipsis.
  void SetWholeText(const Text& gbk);
  // The GBK text the box gives back (CR LF between lines): the same as a box
  // showing every line whole would give.
  [[nodiscard]] Text WholeText() const;

 protected:
  // A pasted or dropped text that holds an overlong word switches the box to
  // breaking anywhere before it goes in.
  void insertFromMimeData(const QMimeData* source) override;

 private:
  // Shows `shown` and keeps `whole` when a line was cut; `whole` is empty
  // when `shown` is the whole text.
  void Show(const QString& shown, Text whole, bool is_clipped);

  Text clipped_;
  bool is_clipped_ = false;
  bool setting_ = false;
};

}  // namespace zelkor
