// How often a page's predictions held over a history, set against what the
// same picks would score on draws taken at random: over all judged lines,
// over the most recent ones, and as runs of misses.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
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
};

// One judged line: whether it held, and the chance its pick had.
struct LineOutcome {
  bool held = false;
  double chance = 0.0;
};

// The share of the 1000 equally likely draws 000 to 999 against which `pick`
// holds under the page's verdict.
[[nodiscard]] double ChanceOfHolding(const AnalysisPage& page, int32_t position, const Text& pick);

// ChanceOfHolding, worked out once per distinct pick.
class ChanceTable {
 public:
  ChanceTable(const AnalysisPage& page, int32_t position);
  [[nodiscard]] double Of(const Text& pick);

 private:
  const AnalysisPage& page_;
  int32_t position_;
  std::map<Text, double, std::less<>> chances_;
};

// The chance that independent lines, line i failing with probability
// 1 - chances[i], hold a run of at least `run` failed lines in a row. Takes
// time linear in the number of lines.
[[nodiscard]] double ChanceOfMissRun(const std::vector<LineOutcome>& lines, int64_t run);

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

// The page's label, with the kill position where it has one: "kill
// (position 1)", "banker", "span" (UTF-8, in `language`).
[[nodiscard]] std::string PageLabel(const AnalysisPage& page, int32_t position,
                                    HelpLanguage language = HelpLanguage::kEnglish);

// The summary tables and verdicts in `language` (ASCII in English, UTF-8 in
// Chinese), lines ending in "\n".
[[nodiscard]] std::string FormatSummary(const std::vector<PageSummary>& summaries,
                                        size_t draw_count,
                                        HelpLanguage language = HelpLanguage::kEnglish);

// How the summary writes its figures: `part` of `whole` as "31.2%" ("-" of
// nothing); an expected count of `whole` lines as the same; a probability as
// a percentage that never shows a real chance as 0 or 100 ("<0.1%").
[[nodiscard]] std::string RatePercent(int64_t part, int64_t whole);
[[nodiscard]] std::string ChancePercent(double part, int64_t whole);
[[nodiscard]] std::string RunChance(double chance);

// The gap between the lines held and the lines chance would hold, in
// standard deviations; nothing when chance leaves no room for a gap.
[[nodiscard]] std::optional<double> ZScore(const PageSummary& summary);

// Whether the page did better than chance by more than chance variation
// explains, at |z| >= kBeyondChanceZ.
[[nodiscard]] bool BeyondChance(const PageSummary& summary);

// The verdict on whether a page beats chance, in a few words.
[[nodiscard]] std::string Verdict(const PageSummary& summary,
                                  HelpLanguage language = HelpLanguage::kEnglish);

}  // namespace zelkor
