// The draw history file the draw service serves: a CSV text with the header
// line "issue,date,digits" and one draw a line, oldest first, for example
//   2026224,2026-08-22,862
// (seven-digit issue number, the draw's date, the three drawn digits).
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelkor::service {

// One draw of the history file, as written there.
struct HistoryDraw {
  std::string issue;   // seven digits: the year, then the draw's number in it
  std::string date;    // YYYY-MM-DD
  std::string digits;  // three digits, hundreds first
};

// The first line of every history text.
inline constexpr std::string_view kHistoryHeader = "issue,date,digits";

// Why a history text was refused: the 1-based line and what is wrong with it.
struct HistoryError {
  int line = 0;
  std::string reason;
};

// The draws of a history text, oldest first, or the first line that breaks
// the format. Every line is either a draw or refused: the header must come
// first, issues must rise strictly, dates may not go back, and only the text's
// very end may be an empty line. Lines may end in CR LF. More than
// `max_draws` draws are refused too. A field quoted in a reason is cut at 80
// characters and escaped as Printable does.
[[nodiscard]] std::variant<std::vector<HistoryDraw>, HistoryError> ParseHistory(
    std::string_view text, size_t max_draws = std::numeric_limits<size_t>::max());

// Why `draw` is no draw at all (issue, date, the date's year, digits), in
// the words ParseHistory uses; empty when it is one. Order is not checked.
[[nodiscard]] std::string CheckDrawFields(const HistoryDraw& draw);

// Reads one line of a history text ("2026224,2026-08-22,862", no line end)
// into `draw`: the reason it is no draw, or empty when it is one.
[[nodiscard]] std::string ParseDrawLine(std::string_view line, HistoryDraw& draw);

// The history text of `draws` (oldest first), header included, LF line ends.
[[nodiscard]] std::string HistoryText(const std::vector<HistoryDraw>& draws);

// ParseHistory on the file at `utf8_path`; a file that cannot be read is an
// error on line 0. Reads no more than a file of `max_draws` draws can be, so
// that a larger file (or an endless one) is refused, as an error on line 0,
// after a bounded read.
[[nodiscard]] std::variant<std::vector<HistoryDraw>, HistoryError> ReadHistoryFile(
    const std::string& utf8_path, size_t max_draws = std::numeric_limits<size_t>::max());

}  // namespace zelkor::service
