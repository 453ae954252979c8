// What the service last heard from its sources and what the last round came
// to, told on the start page and in the log.
#pragma once

#include <string>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/history/schedule.h"
#include "draw_service/update/cross_check.h"

namespace zelkor::service {

// One source's last answer.
struct SourceStatus {
  std::string name;
  // When it was last asked ("2026-12-10 21:34", Beijing); empty if never.
  std::string asked;
  // The newest issue it gave, or why it gave nothing.
  std::string newest;
  std::string failure;
  // The issues on which it disagreed with another source or the held draws.
  std::vector<std::string> disagreed;
};

struct SourcesReport {
  std::vector<SourceStatus> sources;
  // Why no source is asked, when none is ("switched off in the settings").
  std::string none_because;
  // The last round's verdict.
  RoundVerdict verdict;
};

// "2026-12-10 21:34" for a Beijing time.
[[nodiscard]] std::string MinuteText(BeijingTime time);

// How current `newest` is by the schedule as of `now`: "up to date", else how
// many draws are missing and why, as `report` tells (one line, for the log).
[[nodiscard]] std::string ScheduleFreshness(const HistoryDraw& newest, BeijingTime now,
                                            const SourcesReport& report);

// The start page's section on the sources (HTML, UTF-8): the freshness by
// the schedule, each newest draw with how many sources agreed on it, the
// draws the sources disagree on and the issues missing, and every source
// with its last answer.
[[nodiscard]] std::string SourcesSection(const HistoryDraw& newest, BeijingTime now,
                                         const SourcesReport& report);

}  // namespace zelkor::service
