// How current the served history is: the newest draw's age, for the start-up
// log line and the start-up page.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history/history_file.h"

namespace zelkor::service {

// Older than this many days, the history is stale: a draw was missed.
inline constexpr int kStaleAfterDays = 2;

// Today's date where the draws are made (Beijing time, UTC+8 all year).
// For tests only, the environment variable ZELKOR_TODAY=YYYY-MM-DD fixes it.
[[nodiscard]] std::chrono::sys_days BeijingToday();

// Whole days from the date of `newest` to `today` (negative for a future date).
[[nodiscard]] int DaysOld(const HistoryDraw& newest, std::chrono::sys_days today);

// The log line telling the newest draw, its date and its age, e.g.
// "newest draw 2026224 of 2026-08-22, 109 days old".
[[nodiscard]] std::string FreshnessLogLine(const HistoryDraw& newest, std::chrono::sys_days today);

// The start-up page's paragraphs (HTML, UTF-8) on the newest draw, and when
// it is stale, a warning. How to catch up depends on where the page is read,
// which the page tells.
[[nodiscard]] std::string FreshnessPageText(const HistoryDraw& newest, std::chrono::sys_days today);

}  // namespace zelkor::service
