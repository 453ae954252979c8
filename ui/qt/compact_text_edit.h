// A small multi-line box whose lines sit at a fixed pitch. The footer boxes
// are 29 pixels high and must show two lines; the CJK fonts at hand are
// about 17 pixels from line to line at 12 pixels, so their natural spacing
// would cut the second line in half.
#pragma once

#include <QTextEdit>

namespace zelkor {

class CompactTextEdit : public QTextEdit {
 public:
  CompactTextEdit(int line_pitch, QWidget* parent = nullptr);

  // Replaces the content with plain `text` ("\n" between lines) and chooses
  // the wrapping for it (see wrap_mode.h).
  void SetPlainLines(const QString& text);

 protected:
  // A pasted or dropped text that holds an overlong word switches the box to
  // breaking anywhere before it goes in.
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void ApplyPitch();

  int line_pitch_;
};

}  // namespace zelkor
