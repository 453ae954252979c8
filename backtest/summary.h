// How often a page's predictions held over a history, set against what the
// same picks would score on draws taken at random: over all judged lines,
// over the most recent ones, and as runs of misses.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/chance.h"
#include "backtest/language.h"
#include "backtest/threshold.h"

namespace zelkor {

// The recent windows the summary shows, in judged lines.
inline constexpr std::array<int64_t, 2> kRecentWindows{100, 30};

// A page with the kill position it is walked at.
using PageAt = std::pair<const AnalysisPage*, int32_t>;

// The page/positions the backtest judges, in tab order: each kill position
// (1 to 3) of a page that has them, `position` on the others (which do not
// read it).
[[nodiscard]] std::vector<PageAt> TestedPages(int32_t position = 1);

// The same level as a one-sided tail chance: 0.05 / (2 * kTestedPages).
inline constexpr double kBeyondChanceTail = 0.05 / (2 * kTestedPages);
// Up to this many judged lines the verdict comes from the exact chance of
// the lines held (ChanceTails): on short histories the normal approximation
// behind z calls a page beyond chance two or three times too often, or more.
inline constexpr int64_t kExactTestLines = 5000;

// Lines held against lines chance would hold, over some judged lines.
struct HitFigures {
  int64_t judged = 0;
  int64_t held = 0;
  // The number of lines the same picks would be expected to hold against
  // random draws, and the variance of that number.
  double chance_held = 0.0;
  double chance_variance = 0.0;
};

struct PageSummary {
  const AnalysisPage* page = &KillDigitPage();
  int32_t position = 0;  // the kill position; 0 on the other pages
  int64_t judged = 0;
  int64_t held = 0;
  double chance_held = 0.0;
  double chance_variance = 0.0;
  // The last kRecentWindows[i] judged lines (fewer when there are fewer).
  std::array<HitFigures, kRecentWindows.size()> recent{};
  // The longest run of failed lines, with the chance that draws taken at
  // random give a run at least as long somewhere in the judged lines; and
  // the run the history ends with (0 when the last line held), with the
  // chance that random draws make all of its lines fail.
  int64_t longest_miss_run = 0;
  double longest_run_chance = 1.0;
  int64_t current_miss_run = 0;
  double current_run_chance = 1.0;
  // The chance that the next issue's pick holds against a random draw: no
  // run of misses before it changes that.
  double next_hold_chance = 0.0;
  // The exact chances of holding at most and at least `held` lines, on
  // histories of 1 to kExactTestLines judged lines.
  std::optional<BinomialTails> tails{};
};

// The figures of a page from its judged lines, oldest first, and the chance
// of the next issue's pick.
[[nodiscard]] PageSummary SummarizeOutcomes(const AnalysisPage& page, int32_t position,
                                            const std::vector<LineOutcome>& lines,
                                            double next_hold_chance = 0.0);

// A page's walk over a history as the backtest sees it.
struct PageOutcomes {
  // The judged lines, oldest first.
  std::vector<LineOutcome> lines;
  // The next issue's line: its issue, the draw its pick was made from, the
  // pick (GBK, as the page writes them) and the chance that it holds.
  Text next_issue;
  Text next_source;
  Text next_pick;
  double next_hold_chance = 0.0;
};

// Runs the page's walk over `rows` (newest first) and keeps its outcomes;
// the walk's notices go to `notify` when one is given.
[[nodiscard]] PageOutcomes WalkOutcomes(const AnalysisPage& page, int32_t position,
                                        const std::vector<HistoryRow>& rows, const PageTexts& texts,
                                        const Notify& notify = nullptr);

// Runs the page's walk over `rows` and tallies it.
[[nodiscard]] PageSummary SummarizePage(const AnalysisPage& page, int32_t position,
                                        const std::vector<HistoryRow>& rows, const PageTexts& texts,
                                        const Notify& notify);

// The gap between the lines held and the lines chance would hold, in
// standard deviations; nothing when chance leaves no room for a gap.
[[nodiscard]] std::optional<double> ZScore(const PageSummary& summary);

// Whether the page did better (worse) than chance by more than chance
// variation explains: by the exact tail chance when the summary has one, by
// z otherwise.
[[nodiscard]] bool BeyondChance(const PageSummary& summary);
[[nodiscard]] bool WorseThanChance(const PageSummary& summary);

// The exact tail chance of a gap at least as large as the page's, on the side
// it lies; nothing where the verdict goes by z.
[[nodiscard]] std::optional<double> TailChance(const PageSummary& summary);

}  // namespace zelkor
