// The footer box: a CompactTextEdit that shows only whole lines. Its height
// is no multiple of the line pitch, so the rows left below the last whole
// line are kept out of the view instead of showing a sliver of the next line
// (the note's first line wraps in the box, so there always is a next line).
#pragma once

#include "ui/qt/compact_text_edit.h"

namespace zelkor {

class FooterTextEdit : public CompactTextEdit {
 public:
  FooterTextEdit(int line_pitch, QWidget* parent = nullptr);

  // How many whole lines the box shows at its current height.
  [[nodiscard]] int ShownLines() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitViewportToWholeLines();

  int line_pitch_;
};

}  // namespace zelkor
