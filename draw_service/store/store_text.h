// Reading the player's store as text editors leave it: a player may open the
// file, add or fix a line and save it in whatever form the editor prefers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history/history_file.h"

namespace zelkor::service {

// A line of the store that cannot be read as a draw.
struct UnreadLine {
  int line = 0;        // 1-based, of the text as the editor shows it
  std::string text;    // the line, cut and made printable
  std::string reason;  // Chinese, then English in brackets
};

// What the store's text holds: the draws that could be read, oldest first,
// and every line that could not.
struct StoreReading {
  std::vector<HistoryDraw> draws;
  std::vector<UnreadLine> unread;
};

// Reads the store's bytes forgivingly: UTF-8 with or without a byte order
// mark, UTF-16 with one, LF or CR LF line ends, blanks around fields and
// lines, empty lines, the header line or none, full-width commas, a line
// repeated word for word, lines in any order, and dates written 2026/8/23,
// 2026-8-23 or 2026.8.23. Whatever still cannot be read is one unread line
// each, and does not keep the other lines' draws from being read: a field
// that is no draw, the same issue again with other digits or date, a date
// before the previous issue's.
[[nodiscard]] StoreReading ReadStoreText(std::string_view bytes);

// One unread line as the player is told of it, in Chinese then English:
// "第3行“2026225,2026-08-23,12”:号码应为三位数字 (digits '12' ...)".
[[nodiscard]] std::string UnreadLineText(const UnreadLine& unread);

}  // namespace zelkor::service
