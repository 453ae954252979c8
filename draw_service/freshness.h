// How current the served history is: the newest draw's age.
#pragma once

#include <chrono>
#include <string>

#include "draw_service/history_file.h"

namespace zelkor::service {

// Older than this many days, the history is stale: a draw was missed.
inline constexpr int kStaleAfterDays = 2;

// Today's date where the draws are made (Beijing time, UTC+8 all year). For
// tests only, the environment variable ZELKOR_TODAY=YYYY-MM-DD fixes it.
[[nodiscard]] std::chrono::sys_days BeijingToday();

// Whole days from the date of `newest` to `today` (negative for a future date).
[[nodiscard]] int DaysOld(const HistoryDraw& newest, std::chrono::sys_days today);

// The start-up page's paragraph (HTML, UTF-8) on the newest draw's age.
[[nodiscard]] std::string FreshnessPageText(const HistoryDraw& newest, std::chrono::sys_days today);

}  // namespace zelkor::service
