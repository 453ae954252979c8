#include "ui/qt/clipped_line_edit.h"

#include "ui/qt/qt_text.h"
#include "ui/qt/shown_text.h"

namespace zelkor {

ClippedLineEdit::ClippedLineEdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  // Text put in any other way replaces the whole text.
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (setting_) return;
    is_clipped_ = false;
    clipped_.clear();
  });
}

void ClippedLineEdit::SetWholeText(const Text& gbk) {
  setting_ = true;
  setText(ShownPrefix(gbk, kShownBytes));
  setting_ = false;
  is_clipped_ = gbk.size() > kShownBytes;
  clipped_ = is_clipped_ ? gbk : Text();
}

Text ClippedLineEdit::WholeText() const {
  if (!is_clipped_) return FromQString(text());
  // A line box gives back what it was given.
  return ReadBackInPieces(clipped_, [](std::string_view piece) { return ToQString(piece); });
}

}  // namespace zelkor
