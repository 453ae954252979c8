#include "draw_service/freshness.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace zelkor::service {
namespace {

// The date in ZELKOR_TODAY (YYYY-MM-DD), which tests set so that pages built
// on different days or machines can be compared byte for byte.
std::optional<std::chrono::sys_days> FixedToday() {
  const char* text = std::getenv("ZELKOR_TODAY");
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  char end = 0;
  if (text == nullptr || std::sscanf(text, "%4d-%2u-%2u%c", &year, &month, &day, &end) != 3) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                         std::chrono::day{day}};
  if (!date.ok()) return std::nullopt;
  return std::chrono::sys_days{date};
}

}  // namespace

std::chrono::sys_days BeijingToday() {
  if (const std::optional<std::chrono::sys_days> fixed = FixedToday()) return *fixed;
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
  const int age = DaysOld(newest, today);
  std::string text = "<p>最新一期:" + newest.issue + "期(" + newest.date + "开奖),距今" +
                     std::to_string(age) + "天。</p>\n";
  if (age <= kStaleAfterDays) return text;
  return text + "<p><strong>开奖数据已过时,下一期的预测不准。</strong></p>\n";
}

}  // namespace zelkor::service
