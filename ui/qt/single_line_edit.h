// A single-line setting box. Like a classic single-line edit control it never
// takes a line break: a pasted or dropped text goes in up to its first line
// break (a line copied from a terminal or a web page often ends in one, which
// would otherwise stay in the box and break every output line in two). Texts
// the program sets are taken as they are.
#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace zelkor {

class SingleLineEdit : public QLineEdit {
 public:
  explicit SingleLineEdit(QWidget* parent = nullptr);

  // `text` up to its first line break (CR, LF or a Unicode line or paragraph
  // separator).
  [[nodiscard]] static QString FirstLine(const QString& text);

  // Inserts the first line of the clipboard's text `mode` as a paste does.
  void PasteFirstLine(QClipboard::Mode mode = QClipboard::Clipboard);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace zelkor
