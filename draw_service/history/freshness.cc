#include "draw_service/history/freshness.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace zelkor::service {
namespace {

std::chrono::sys_days DateOf(const std::string& date) {
  // The date was checked when the draw was read: YYYY-MM-DD.
  const int year = std::stoi(date.substr(0, 4));
  const unsigned month = static_cast<unsigned>(std::stoi(date.substr(5, 2)));
  const unsigned day = static_cast<unsigned>(std::stoi(date.substr(8, 2)));
  return std::chrono::sys_days{std::chrono::year{year} / std::chrono::month{month} /
                               std::chrono::day{day}};
}

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
  return static_cast<int>((today - DateOf(newest.date)).count());
}

std::string FreshnessLogLine(const HistoryDraw& newest, std::chrono::sys_days today) {
  return "newest draw " + newest.issue + " of " + newest.date + ", " +
         std::to_string(DaysOld(newest, today)) + " days old";
}

std::string FreshnessPageText(const HistoryDraw& newest, std::chrono::sys_days today) {
  const int age = DaysOld(newest, today);
  std::string text = "<p>最新一期:第 " + newest.issue + " 期(" + newest.date + " 开奖),";
  if (age < 0) {
    // A clock set back, or a draw typed with a wrong date: neither is an age.
    text += "日期比今天还晚,请检查这台电脑的日期和这一期的日期。</p>\n";
  } else if (age <= 1) {
    text += age == 0 ? "今天开奖。</p>\n" : "昨天开奖。</p>\n";
  } else {
    text += "距今" + std::to_string(age) + "天。</p>\n";
  }
  if (age <= kStaleAfterDays) return text;
  text += "<p><strong>开奖数据已有 " + std::to_string(age) + " 天没有更新。</strong>第 " +
          newest.issue + " 期是 " + std::to_string(age) +
          " 天前开的,之后的开奖还没有收到,所以下面预测的那一期并不是今晚要开的一期。</p>\n";
  return text;
}

}  // namespace zelkor::service
