#include "draw_service/history/schedule.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace zelkor::service {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

// The first day of the Spring Festival (Chinese New Year) of the years after
// the shipped history. The draws stop from two days before it to seven days
// after, as in the recent years the history holds; the breaks of earlier
// years are in the history itself.
constexpr std::array<std::array<int, 3>, 9> kSpringFestivals{{
    {2027, 2, 6},
    {2028, 1, 26},
    {2029, 2, 13},
    {2030, 2, 3},
    {2031, 1, 23},
    {2032, 2, 11},
    {2033, 1, 31},
    {2034, 2, 19},
    {2035, 2, 8},
}};
constexpr days kBreakBefore{2};
constexpr days kBreakAfter{7};

int YearOf(sys_days day) { return static_cast<int>(std::chrono::year_month_day{day}.year()); }

sys_days FirstOfYear(int year) {
  return sys_days{std::chrono::year{year} / std::chrono::January / 1};
}

std::string Issue(int year, int count) {
  char text[16];
  std::snprintf(text, sizeof(text), "%04d%03d", year, count);
  return text;
}

int YearOfIssue(std::string_view issue) {
  return std::atoi(std::string(issue.substr(0, 4)).c_str());
}
int CountOfIssue(std::string_view issue) { return std::atoi(std::string(issue.substr(4)).c_str()); }

// The last day whose draw was made by `now`.
sys_days LastDrawnDay(BeijingTime now) {
  const sys_days today = std::chrono::floor<days>(now);
  return now - today >= kDrawTimeOfDay ? today : today - days(1);
}

}  // namespace

BeijingTime BeijingNow() {
  if (const char* fixed = std::getenv("ZELKOR_TODAY")) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    char end = 0;
    if (std::sscanf(fixed, "%4d-%2u-%2u%c", &year, &month, &day, &end) == 3) {
      const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                             std::chrono::day{day}};
      if (date.ok()) return sys_days{date} + std::chrono::hours(23);
    }
  }
  return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now() +
                                                  std::chrono::hours(8));
}

sys_days DateOf(std::string_view date) {
  const int year = std::atoi(std::string(date.substr(0, 4)).c_str());
  const int month = std::atoi(std::string(date.substr(5, 2)).c_str());
  const int day = std::atoi(std::string(date.substr(8, 2)).c_str());
  return sys_days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                  std::chrono::day{static_cast<unsigned>(day)}};
}

std::string DateText(sys_days day) {
  const std::chrono::year_month_day date{day};
  char text[16];
  std::snprintf(text, sizeof(text), "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

bool IsDrawDay(sys_days day) {
  return std::none_of(kSpringFestivals.begin(), kSpringFestivals.end(), [day](const auto& f) {
    const sys_days festival{std::chrono::year{f[0]} /
                            std::chrono::month{static_cast<unsigned>(f[1])} /
                            std::chrono::day{static_cast<unsigned>(f[2])}};
    return day >= festival - kBreakBefore && day <= festival + kBreakAfter;
  });
}

sys_days ScheduledDate(const HistoryDraw& previous, std::string_view issue) {
  const int year = YearOfIssue(issue);
  if (year == YearOfIssue(previous.issue)) {
    return DateOf(previous.date) + days(CountOfIssue(issue) - CountOfIssue(previous.issue));
  }
  return FirstOfYear(year) + days(CountOfIssue(issue) - 1);
}

std::string LatestAllowedIssue(const HistoryDraw& newest, BeijingTime now) {
  const sys_days last = LastDrawnDay(now);
  const sys_days newest_date = DateOf(newest.date);
  if (last <= newest_date) return newest.issue;
  const int year = YearOf(last);
  if (year == YearOfIssue(newest.issue)) {
    return Issue(year, CountOfIssue(newest.issue) + static_cast<int>((last - newest_date).count()));
  }
  return Issue(year, static_cast<int>((last - FirstOfYear(year)).count()) + 1);
}

std::vector<std::string> ExpectedSince(const HistoryDraw& newest, BeijingTime now) {
  std::vector<std::string> expected;
  int year = YearOfIssue(newest.issue);
  int count = CountOfIssue(newest.issue);
  for (sys_days day = DateOf(newest.date) + days(1); day <= LastDrawnDay(now); day += days(1)) {
    if (YearOf(day) != year) {
      year = YearOf(day);
      count = 0;
    }
    if (IsDrawDay(day)) expected.push_back(Issue(year, ++count));
  }
  return expected;
}

std::vector<std::string> IssuesBetween(const HistoryDraw& previous, std::string_view issue) {
  std::vector<std::string> between;
  const int year = YearOfIssue(issue);
  int count = CountOfIssue(previous.issue);
  if (YearOfIssue(previous.issue) == year) {
    for (int c = count + 1; c < CountOfIssue(issue); ++c) between.push_back(Issue(year, c));
    return between;
  }
  // The rest of the previous draw's year: one issue a day to 31 December (no
  // break falls in December).
  const int previous_year = YearOfIssue(previous.issue);
  const sys_days year_end = FirstOfYear(previous_year + 1) - days(1);
  for (sys_days day = DateOf(previous.date) + days(1); day <= year_end; day += days(1)) {
    between.push_back(Issue(previous_year, ++count));
  }
  for (int y = previous_year + 1; y < year; ++y) between.push_back(Issue(y, 1));
  for (int c = 1; c < CountOfIssue(issue); ++c) between.push_back(Issue(year, c));
  return between;
}

ArrivalCheck CheckArrival(const std::vector<HistoryDraw>& held, const HistoryDraw& draw,
                          BeijingTime now) {
  ArrivalCheck check;
  const sys_days date = DateOf(draw.date);
  const sys_days today = std::chrono::floor<days>(now);
  if (date > today) {
    check.refusal = "dated " + draw.date + ", after today (" + DateText(today) + ", Beijing)";
    return check;
  }
  const auto next = std::upper_bound(
      held.begin(), held.end(), draw.issue,
      [](const std::string& issue, const HistoryDraw& h) { return issue < h.issue; });
  if (next == held.begin()) return check;
  const HistoryDraw& previous = *(next - 1);
  if (draw.issue > LatestAllowedIssue(previous, now)) {
    check.refusal = "issue " + draw.issue + " is beyond what the daily schedule allows by now (" +
                    LatestAllowedIssue(previous, now) + ")";
    return check;
  }
  check.missing = IssuesBetween(previous, draw.issue);
  if (!check.missing.empty()) {
    check.refusal = "would leave a hole: " + NameIssues(check.missing) + " missing";
    return check;
  }
  if (date <= DateOf(previous.date)) {
    check.refusal = "dated " + draw.date + ", not after the previous draw " + previous.issue +
                    " of " + previous.date;
    return check;
  }
  if (next != held.end() && date >= DateOf(next->date)) {
    check.refusal =
        "dated " + draw.date + ", not before the next draw " + next->issue + " of " + next->date;
    return check;
  }
  if (date - DateOf(previous.date) > kLongestUsualBreak) {
    check.warning =
        "dated " + draw.date + ", " + std::to_string((date - DateOf(previous.date)).count()) +
        " days after the previous draw " + previous.issue + ": later than any usual break";
  }
  return check;
}

std::string NameIssues(const std::vector<std::string>& issues) {
  if (issues.empty()) return {};
  if (issues.size() <= 5) {
    std::string text = issues.front();
    for (size_t i = 1; i < issues.size(); ++i) text += ", " + issues[i];
    return text;
  }
  return issues.front() + " to " + issues.back() + ", " + std::to_string(issues.size()) + " issues";
}

}  // namespace zelkor::service
