#include "ui/shown_part.h"

#include <algorithm>
#include <deque>
#include <string>

#include "runtime/gbk.h"

namespace zelkor {
namespace {

// Calls `visit(start, end, next)` for each line of `text` from `from` on:
// its characters run from `start` to `end`, and the next line starts at
// `next` (`next == end` for the last line, which has no break).
template <typename Visit>
void ForEachLine(std::string_view text, size_t from, Visit visit) {
  size_t line = from;
  size_t pos = from;
  for (;;) {
    if (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') {
      pos += ConvertedWidthAt(text, pos);
      continue;
    }
    if (pos == text.size()) {
      visit(line, pos, pos);
      return;
    }
    const size_t next = pos + (text.substr(pos, 2) == "\r\n" ? 2 : 1);
    visit(line, pos, next);
    pos = next;
    line = next;
  }
}

// Where the first shown line starts, counting the lines left out before it
// into `hidden_lines`.
size_t FirstShownLine(std::string_view text, const ShownLimits& limits, size_t& hidden_lines) {
  constexpr size_t kUnlimited = std::numeric_limits<size_t>::max();
  if (limits.total_bytes == kUnlimited && limits.lines == kUnlimited) return 0;
  struct Line {
    size_t start;
    size_t cost;
  };
  // The lines shown if the text ended here: never more than the limits
  // allow, so this stays small however long the text is.
  std::deque<Line> shown;
  size_t shown_bytes = 0;
  ForEachLine(text, 0, [&](size_t start, size_t end, size_t next) {
    const size_t cost = std::min(end - start, limits.line_bytes) + (next > end ? 2 : 0);
    shown.push_back({start, cost});
    shown_bytes += cost;
    while (shown.size() > 1 && (shown.size() > limits.lines || shown_bytes > limits.total_bytes)) {
      shown_bytes -= shown.front().cost;
      shown.pop_front();
      ++hidden_lines;
    }
  });
  return shown.front().start;
}

}  // namespace

size_t ShownPrefixEnd(std::string_view gbk, size_t max_bytes) {
  if (gbk.size() <= max_bytes) return gbk.size();
  size_t end = 0;
  while (end + CharacterWidthAt(gbk, end) <= max_bytes) end += CharacterWidthAt(gbk, end);
  return end;
}

bool ShownPart::IsWhole() const {
  return hidden_lines == 0 &&
         std::none_of(spans.begin(), spans.end(), [](const ShownSpan& span) { return span.cut; });
}

ShownPart ShownEnd(std::string_view gbk, const ShownLimits& limits) {
  ShownPart part;
  const size_t first = FirstShownLine(gbk, limits, part.hidden_lines);
  // Shown as it is from `kept` up to the line being visited.
  size_t kept = first;
  ForEachLine(gbk, first, [&](size_t start, size_t end, size_t /*next*/) {
    if (end - start <= limits.line_bytes) return;
    if (start > kept) part.spans.push_back({kept, start, false});
    part.spans.push_back(
        {start, start + ShownPrefixEnd(gbk.substr(start, end - start), limits.line_bytes), true});
    kept = end;
  });
  if (kept < gbk.size() || part.spans.empty()) part.spans.push_back({kept, gbk.size(), false});
  return part;
}

Text HiddenLinesNote(size_t hidden_lines) {
  return Gbk("…… 前 ") + std::to_string(hidden_lines) + Gbk(" 行未显示,“复制”复制全部 ……");
}

}  // namespace zelkor
