// The draw rules: when 3D is drawn, which issue a date gives, and whether a
// draw arriving by any way (a source, an upstream, a player's add or import)
// fits the draws held.
//
// 3D is drawn every day at 21:15 Beijing time (UTC+8 all year), except for
// about a week at the Spring Festival (and, once, 50 days in 2020). An issue
// is the year and a three-digit count that restarts at 001 each year.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history/history_file.h"

namespace zelkor::service {

// A moment in Beijing's local time, kept as a time point whose days are
// Beijing's days.
using BeijingTime = std::chrono::sys_seconds;

// The draw's time of day in Beijing.
inline constexpr std::chrono::minutes kDrawTimeOfDay{21 * 60 + 15};

// A date later than this after the previous draw is accepted with a warning:
// no break has lasted longer, save once.
inline constexpr std::chrono::days kLongestUsualBreak{14};

// Now in Beijing; ZELKOR_TODAY (YYYY-MM-DD, for tests) fixes the day, at 23:00.
[[nodiscard]] BeijingTime BeijingNow();

// The calendar date of a checked YYYY-MM-DD text.
[[nodiscard]] std::chrono::sys_days DateOf(std::string_view date);
// YYYY-MM-DD.
[[nodiscard]] std::string DateText(std::chrono::sys_days day);

// False on the days of a Spring Festival break the schedule knows of.
[[nodiscard]] bool IsDrawDay(std::chrono::sys_days day);

// The date the schedule gives `issue` after the held draw `previous`: one day
// further per issue, the count restarting on 1 January.
[[nodiscard]] std::chrono::sys_days ScheduledDate(const HistoryDraw& previous,
                                                  std::string_view issue);

// The latest issue that can have been drawn by `now` after `newest`, counting
// every day as a draw day, so that no real draw is ever refused by it.
[[nodiscard]] std::string LatestAllowedIssue(const HistoryDraw& newest, BeijingTime now);

// The issues the schedule expects to have been drawn after `newest` by `now`
// (draw days only, breaks it knows left out), oldest first.
[[nodiscard]] std::vector<std::string> ExpectedSince(const HistoryDraw& newest, BeijingTime now);

// The issues between `previous` and `issue` (both excluded) that the
// schedule gives, oldest first: those of previous's year after it up to 31
// December, then those of each later year before `issue`.
[[nodiscard]] std::vector<std::string> IssuesBetween(const HistoryDraw& previous,
                                                     std::string_view issue);

// What the rules say of one arriving draw.
struct ArrivalCheck {
  // Why it is refused; empty when it may be stored.
  std::string refusal;
  // The held issues it would skip (a hole), when that is the refusal.
  std::vector<std::string> missing;
  // Something odd but allowed (a date much later than the schedule gives).
  std::string warning;
};

// Checks `draw` (its fields already sound) against `held` (oldest first,
// issues rising), which does not hold its issue: a date after today, an issue
// beyond what the schedule allows, a hole before it, a date not after the
// previous draw's (or not before the next one's) are refused; a date more than
// kLongestUsualBreak after the previous draw's is accepted with a warning.
[[nodiscard]] ArrivalCheck CheckArrival(const std::vector<HistoryDraw>& held,
                                        const HistoryDraw& draw, BeijingTime now);

// The issues named for a message: all of a few, else the first and last and
// how many ("2026225 to 2026330, 106 issues").
[[nodiscard]] std::string NameIssues(const std::vector<std::string>& issues);

}  // namespace zelkor::service
