// Which part of a text a box shows when the whole is too long to lay out in
// good time. A toolkit lays out a line whole, whatever part of it is
// visible, and some lay out every line of a box each time its text is set:
// a box then shows a bounded part and keeps the whole text beside its
// control, for the operations that read it back and for the copy buttons.
// The rule is the same for every toolkit; each one says how much it can
// afford and turns the part into its own strings.
#pragma once

#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

#include "runtime/text.h"

namespace zelkor {

// Bytes of the character at `pos` as the GBK conversion steps: a lead byte
// (0x81 to 0xFE) takes the byte after it whether or not the pair is valid,
// so a line break or a zero byte right after one is no character of its own.
[[nodiscard]] inline size_t ConvertedWidthAt(std::string_view gbk, size_t pos) {
  const auto lead = static_cast<unsigned char>(gbk[pos]);
  return lead >= 0x81 && lead <= 0xFE && pos + 1 < gbk.size() ? 2 : 1;
}

// The most of a draw's digits cell 编辑框1 shows: far more than fits, and a
// hostile cell of megabytes is not laid out whole.
inline constexpr size_t kDrawBoxShownBytes = 256;

// The end of the start of `gbk` a box shows in `max_bytes` bytes: the whole
// text's size when it fits, otherwise the end of the last character that
// fits (the box then shows an ellipsis after it).
[[nodiscard]] size_t ShownPrefixEnd(std::string_view gbk, size_t max_bytes);

// How much of a multi-line text a box shows.
struct ShownLimits {
  // A longer line shows its start and an ellipsis.
  size_t line_bytes = std::numeric_limits<size_t>::max();
  // At most this many bytes (a cut line counting what it shows, each line
  // break counting as two) and this many lines are shown, the last ones: an
  // output's newest lines and the next issue's line are at its end. The
  // last line is shown however long it is.
  size_t total_bytes = std::numeric_limits<size_t>::max();
  size_t lines = std::numeric_limits<size_t>::max();
};

// A run of the text shown as it is, from `begin` to `end`, followed by an
// ellipsis when `cut` (the rest of its line is left out).
struct ShownSpan {
  size_t begin = 0;
  size_t end = 0;
  bool cut = false;
};

// The part of a text a box shows: the spans, in order, after leaving out
// `hidden_lines` whole lines at the start.
struct ShownPart {
  size_t hidden_lines = 0;
  std::vector<ShownSpan> spans;

  // Whether the box shows the whole text as it is.
  [[nodiscard]] bool IsWhole() const;
};

// The part of `gbk` a multi-line box shows within `limits`. Lines end at CR
// LF, a lone CR or a lone LF, wherever such a byte is a character of its
// own; the text is cut only between characters and never inside a CR LF.
[[nodiscard]] ShownPart ShownEnd(std::string_view gbk, const ShownLimits& limits);

// The line a box shows above the part of a text it shows when `hidden_lines`
// lines before it are left out, without a line break.
[[nodiscard]] Text HiddenLinesNote(size_t hidden_lines);

}  // namespace zelkor
