// The output box of an analysis page: a plain multi-line box that may hold
// megabytes, wrapped so that laying it out stays linear in its length (see
// wrap_mode.h).
#pragma once

#include <QPlainTextEdit>

namespace zelkor {

class OutputTextEdit : public QPlainTextEdit {
 public:
  explicit OutputTextEdit(QWidget* parent = nullptr);

  // Replaces the content with plain `text` ("\n" between lines) and chooses
  // the wrapping for it.
  void SetPlainLines(const QString& text);

 protected:
  // A pasted or dropped text that holds an overlong word switches the box to
  // breaking anywhere before it goes in.
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace zelkor
