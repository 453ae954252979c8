// A read-only single-line box that keeps any text whole but shows only the
// start of a long one (see shown_text.h): 编辑框1, which shows whatever the
// service put in a row's digits cell.
#pragma once

#include <QLineEdit>

#include "runtime/text.h"
#include "ui/shown_part.h"

namespace zelkor {

class ClippedLineEdit : public QLineEdit {
 public:
  static constexpr size_t kShownBytes = kDrawBoxShownBytes;

  explicit ClippedLineEdit(QWidget* parent = nullptr);

  // Replaces the content with `gbk`, shown whole when it has at most
  // kShownBytes bytes and otherwise cut with an ellipsis.
  void SetWholeText(const Text& gbk);
  // The GBK text the box gives back: the same as a box showing the whole
  // text would give.
  [[nodiscard]] Text WholeText() const;

 private:
  // The whole text while the box shows only its start; empty otherwise.
  Text clipped_;
  bool is_clipped_ = false;
  bool setting_ = false;
};

}  // namespace zelkor
