#include "draw_service/freshness.h"

namespace zelkor::service {

std::chrono::sys_days BeijingToday() {
  return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now() +
                                               std::chrono::hours(8));
}

int DaysOld(const HistoryDraw& newest, std::chrono::sys_days today) {
  const int year = std::stoi(newest.date.substr(0, 4));
  const auto month = static_cast<unsigned>(std::stoi(newest.date.substr(5, 2)));
  const auto day = static_cast<unsigned>(std::stoi(newest.date.substr(8, 2)));
  const std::chrono::sys_days date{std::chrono::year{year} / std::chrono::month{month} /
                                   std::chrono::day{day}};
  return static_cast<int>((today - date).count());
}

std::string FreshnessPageText(const HistoryDraw& newest, std::chrono::sys_days today) {
  if (DaysOld(newest, today) <= kStaleAfterDays) return {};
  return "<p><strong>开奖数据已过时,下一期的预测不准。</strong></p>\n";
}

}  // namespace zelkor::service
