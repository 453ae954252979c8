// How the multi-line boxes wrap a text.
//
// Qt wraps at word boundaries by measuring, for every line it starts, the
// word that follows up to its end; a word too long for any line is measured
// again for each line it is broken into, which takes time in the square of
// its length: a megabyte without a space or a Chinese character takes
// minutes to lay out. Breaking anywhere lays such a word out in one pass and
// gives it the same lines, so a box whose text holds one wraps that way; in
// such a box another word may then be broken at the end of a line.
#pragma once

#include <QMimeData>
#include <QStringView>
#include <QTextOption>

namespace zelkor {

// Longer than any line of the boxes can hold many times over, and short
// enough that measuring it again for each of its lines costs nothing.
inline constexpr int kLongestWordWrappedAtBoundaries = 1000;

// Whether `text` holds more than kLongestWordWrappedAtBoundaries characters
// without a line-break opportunity.
[[nodiscard]] bool HoldsOverlongWord(QStringView text);

// WrapAnywhere for a text that holds an overlong word, otherwise
// WrapAtWordBoundaryOrAnywhere (the multi-line boxes' usual wrapping).
[[nodiscard]] QTextOption::WrapMode WrapModeFor(QStringView text);

// Sets the wrapping a multi-line box (QTextEdit or QPlainTextEdit) needs
// before `text` replaces its content.
template <typename Box>
void WrapForNewText(Box& box, QStringView text) {
  const QTextOption::WrapMode wrap = WrapModeFor(text);
  // Emptied first, so that a change of wrapping does not lay out the old text again.
  if (wrap != box.wordWrapMode()) {
    box.clear();
    box.setWordWrapMode(wrap);
  }
}

// Switches a multi-line box to breaking anywhere before a pasted or dropped
// text that holds an overlong word goes in.
template <typename Box>
void WrapForInsertedText(Box& box, const QMimeData* source) {
  if (source != nullptr && source->hasText() && HoldsOverlongWord(source->text())) {
    box.setWordWrapMode(QTextOption::WrapAnywhere);
  }
}

}  // namespace zelkor
