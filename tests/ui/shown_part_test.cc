#include "ui/shown_part.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/gbk.h"

namespace zelkor {
namespace {

// The part as text: "[N]" for N lines left out, then the spans, "|" after
// each cut one.
std::string Render(std::string_view text, const ShownPart& part) {
  std::string shown;
  if (part.hidden_lines > 0)
    shown.append("[").append(std::to_string(part.hidden_lines)).append("]");
  for (const ShownSpan& span : part.spans) {
    shown += text.substr(span.begin, span.end - span.begin);
    if (span.cut) shown += "|";
  }
  return shown;
}

TEST(ShownPartTest, ShowsTheLastLinesWithinTheLimitsAndCutsLongLines) {
  const struct {
    const char* what;
    std::string text;
    ShownLimits limits;
    std::string shown;
  } cases[] = {
      {"within every limit", "ab\r\ncd\r\n", {4, 100, 3}, "ab\r\ncd\r\n"},
      {"empty", "", {4, 1, 1}, ""},
      {"a long line", "ab\r\n1234567\r\ncd", {4}, "ab\r\n1234|\r\ncd"},
      {"long lines back to back", "1234567\n1234567", {4}, "1234|\n1234|"},
      {"cut between characters", Gbk("a期期"), {4}, Gbk("a期|")},
      {"by lines", "1\r\n2\r\n3\r\n4", {.lines = 2}, "[2]3\r\n4"},
      // A line costs its shown bytes and two for its break.
      {"by bytes", "aa\r\nbb\r\ncc", {.total_bytes = 8}, "[1]bb\r\ncc"},
      {"cut lines count what they show",
       "1234567\r\nab",
       {.line_bytes = 4, .total_bytes = 8},
       "1234|\r\nab"},
      {"the last line whatever its length", "a\r\n1234567", {4, 2, 9}, "[1]1234|"},
      {"an empty last line", "a\r\nb\r\n", {.lines = 1}, "[2]"},
      {"lone CR and LF break lines", "a\nb\rc\r\n\nd", {.lines = 2}, "[3]\nd"},
      // Both bytes after a lead byte belong to its character.
      {"no break after a lead byte", "a\x81\nb\x81\rc", {.lines = 1}, "a\x81\nb\x81\rc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ShownPart part = ShownEnd(c.text, c.limits);
    EXPECT_EQ(Render(c.text, part), c.shown);
    EXPECT_EQ(part.IsWhole(), c.shown == c.text);
  }
}

}  // namespace
}  // namespace zelkor
