// Draws offered from outside: an upstream's answer or a file a player
// imports, in either format the program knows, told apart by content.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history/history_file.h"

namespace zelkor::service {

// A draw offered, with the 1-based line of the text it came from.
struct OfferedDraw {
  HistoryDraw draw;
  int line = 0;
};

// A row that is no draw, or that does not fit where it would go.
struct RefusedRow {
  int line = 0;
  std::string reason;
};

// What a text offers.
struct DrawSource {
  std::vector<OfferedDraw> draws;
  std::vector<RefusedRow> refused;
  // Why the text is neither format (an error page, garbage); empty otherwise.
  std::string error;
};

// Reads `text` as a history CSV when its first line is the history header
// (after a UTF-8 byte order mark, if any), else as a draw list when it holds
// rows in the row format. Every row that is no draw (the checks of the
// history file: seven-digit issue, calendar date of the year, three
// digits; in a draw list each part of opencode one digit and opentime
// starting with the date) is refused on its own; the others are offered.
// Order is left to the merge.
[[nodiscard]] DrawSource ReadDrawSource(std::string_view text);

}  // namespace zelkor::service
