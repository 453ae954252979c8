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

  // Replaces the content with plain `text` ("\n" between lines).
  void SetPlainLines(const QString& text);

 private:
  void ApplyPitch();

  int line_pitch_;
};

}  // namespace zelkor
