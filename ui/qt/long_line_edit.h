// A single-line edit box that stays quick however long its text is.
//
// QLineEdit lays out and shapes its whole text after every edit and measures
// all of it again on every paint, the cursor's blinks included: with a
// megabyte in the box a key stroke costs half a second and the blinking
// cursor keeps the window busy for as long as the box has the focus. This box
// keeps its text as a plain string and lays out only the stretch around what
// it shows, so an edit or a paint costs the same for ten characters as for
// ten million.
//
// It edits as a QLineEdit does: the standard editing keys of the platform's
// key bindings, mouse selection (a double click selects a word, a third click
// everything), the clipboard and, where the desktop has one, the selection
// clipboard, text dropped onto it, an input method and the context menu.
// Scrolling follows QLineEdit's rules: a text that fits starts at the left
// edge, the cursor is kept in view and no blank is left on the right while
// text is hidden on the left. Not carried over: validators, input masks,
// echo modes, completers, read-only mode, dragging text out of the box, the
// accessibility text interface and right-to-left layout.
//
// The edit history keeps one undo step per run of typing, per run of single
// Backspace or Delete presses, and per other edit (a paste, a cut, a drop);
// moving the cursor ends a run.
#pragma once

#include <QBasicTimer>
#include <QPoint>
#include <QString>
#include <QTextLayout>
#include <QWidget>
#include <vector>

class QMimeData;
class QStyleOptionFrame;

namespace zelkor {

class LongLineEdit : public QWidget {
  Q_OBJECT

 public:
  explicit LongLineEdit(QWidget* parent = nullptr);
  ~LongLineEdit() override;

  [[nodiscard]] const QString& text() const { return text_; }
  // Replaces the text, puts the cursor at its end and forgets the history.
  void SetText(const QString& text);

  [[nodiscard]] int cursor_position() const { return cursor_; }
  // Moves the cursor (clamped to the text) and clears the selection.
  void SetCursorPosition(int position);

  [[nodiscard]] bool HasSelectedText() const { return anchor_ != cursor_; }
  [[nodiscard]] QString SelectedText() const;
  // The start of the selection, or -1 when nothing is selected.
  [[nodiscard]] int SelectionStart() const;
  // Selects `length` characters from `start`; the cursor ends at the far
  // end (at `start` for a negative length).
  void SetSelection(int start, int length);
  void SelectAll();
  void Deselect();

  // Replaces the selection with `text` as a paste does: one undo step.
  void Insert(const QString& text);
  void Undo();
  void Redo();
  [[nodiscard]] bool IsUndoAvailable() const { return !undo_.empty(); }
  [[nodiscard]] bool IsRedoAvailable() const { return !redo_.empty(); }
  void Cut();
  void Copy() const;
  void Paste();

  // Where the text cursor is drawn, in widget coordinates.
  [[nodiscard]] QRect CursorRect() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // How an edit may join the undo step before it.
  enum class EditKind { kTyping, kBackspace, kDelete, kOther };
  struct Edit {
    int position;
    QString removed;
    QString inserted;
    int cursor_before;
    int anchor_before;
    EditKind kind;
  };

  void InitStyleOption(QStyleOptionFrame* option) const;
  // The rectangle one line of text occupies, before scrolling.
  [[nodiscard]] QRect LineRect() const;
  // Lays out text_[start, end), with the input method's pre-edit text when
  // the cursor is inside.
  void LayOut(QTextLayout& layout, int start, int end) const;
  // The end of the stretch laid out for painting and hit testing.
  [[nodiscard]] int ShownEnd() const;
  // The layout offset of the cursor in a layout starting at origin_.
  [[nodiscard]] int CursorInLayout() const;
  // The character index at widget x coordinate `x`.
  [[nodiscard]] int PositionAt(int x, QTextLine::CursorPosition mode) const;
  // Keeps the cursor in view; see the scrolling rules above.
  void UpdateScroll();
  void Changed();

  // The one way the text changes: replaces [position, position + count) with
  // `inserted`, leaves the cursor after it and records the undo step.
  void Replace(int position, int count, const QString& inserted, EditKind kind);
  void RemoveSelection(EditKind kind);
  void MoveCursor(int position, bool mark);
  void Backspace();
  void Delete();
  void SelectWordAt(int position);
  void InsertFromMimeData(const QMimeData* data);

  [[nodiscard]] int NextCharacter(int position) const;
  [[nodiscard]] int PreviousCharacter(int position) const;
  [[nodiscard]] int NextWord(int position) const;
  [[nodiscard]] int PreviousWord(int position) const;
  [[nodiscard]] bool AtWordSeparator(int position) const;

  void HandleShortcutOverride(QKeyEvent* event);
  [[nodiscard]] bool IsAcceptableInput(const QKeyEvent* event) const;
  void SetCursorVisible(bool visible);
  void RestartBlinking();
  void StopBlinking();

  QString text_;
  int cursor_ = 0;
  int anchor_ = 0;  // the selection runs between anchor_ and cursor_

  // Scrolling: the stretch laid out starts at origin_, and the left edge of
  // the line shows the point hscroll_ pixels into that stretch.
  int origin_ = 0;
  int hscroll_ = 0;

  QString preedit_;
  int preedit_cursor_ = 0;
  bool preedit_hides_cursor_ = false;
  QList<QTextLayout::FormatRange> preedit_formats_;

  std::vector<Edit> undo_;
  std::vector<Edit> redo_;
  bool run_open_ = false;  // the last undo step may take the next edit

  bool cursor_visible_ = false;
  QBasicTimer blink_timer_;
  QBasicTimer triple_click_timer_;
  QPoint triple_click_point_;
  bool drop_cursor_shown_ = false;
};

}  // namespace zelkor
