#include "backtest/summary.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "backtest/walk_lines.h"

namespace zelkor {

std::vector<PageAt> TestedPages(int32_t position) {
  std::vector<PageAt> pages;
  for (const AnalysisPage* page : AllAnalysisPages()) {
    if (page->HasKillPosition()) {
      for (int32_t at = 1; at <= 3; ++at) pages.emplace_back(page, at);
    } else {
      pages.emplace_back(page, position);
    }
  }
  return pages;
}

PageSummary SummarizeOutcomes(const AnalysisPage& page, int32_t position,
                              const std::vector<LineOutcome>& lines, double next_hold_chance) {
  PageSummary summary;
  summary.next_hold_chance = next_hold_chance;
  summary.page = &page;
  summary.position = page.HasKillPosition() ? position : 0;
  const auto add = [](HitFigures& figures, const LineOutcome& line) {
    ++figures.judged;
    if (line.held) ++figures.held;
    figures.chance_held += line.chance;
    figures.chance_variance += line.chance * (1.0 - line.chance);
  };
  HitFigures all;
  int64_t run = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    add(all, lines[i]);
    for (size_t w = 0; w < kRecentWindows.size(); ++w) {
      if (static_cast<int64_t>(lines.size() - i) <= kRecentWindows[w]) {
        add(summary.recent[w], lines[i]);
      }
    }
    run = lines[i].held ? 0 : run + 1;
    summary.longest_miss_run = std::max(summary.longest_miss_run, run);
  }
  summary.judged = all.judged;
  summary.held = all.held;
  summary.chance_held = all.chance_held;
  summary.chance_variance = all.chance_variance;
  summary.current_miss_run = run;
  summary.longest_run_chance = ChanceOfMissRun(lines, summary.longest_miss_run);
  // The run the history ends with: the chance that its lines all fail.
  summary.current_run_chance = ChanceAllFail(lines, lines.size() - static_cast<size_t>(run));
  if (!lines.empty() && std::ssize(lines) <= kExactTestLines) {
    summary.tails = ChanceTails(lines, summary.held);
  }
  return summary;
}

PageOutcomes WalkOutcomes(const AnalysisPage& which, int32_t position,
                          const std::vector<HistoryRow>& rows, const PageTexts& texts,
                          const Notify& notify) {
  ChanceTable chances(which, position);
  PageOutcomes outcomes;
  outcomes.lines.reserve(rows.size());
  const IssueNotify tell = [&notify](const Text&, const Text& message) {
    if (notify) notify(message);
  };
  [[maybe_unused]] const Text text = WalkPage(
      which, position, rows, texts, tell,
      [&](const WalkLine& line) {
        const double chance = chances.Of(Text(line.pick));
        if (line.held) {
          outcomes.lines.push_back({*line.held, chance});
        } else {
          outcomes.next_issue = line.issue;
          outcomes.next_source = line.source_digits;
          outcomes.next_pick = line.pick;
          outcomes.next_hold_chance = chance;
        }
      },
      DropText);
  return outcomes;
}

PageSummary SummarizePage(const AnalysisPage& which, int32_t position,
                          const std::vector<HistoryRow>& rows, const PageTexts& texts,
                          const Notify& notify) {
  const PageOutcomes outcomes = WalkOutcomes(which, position, rows, texts, notify);
  return SummarizeOutcomes(which, position, outcomes.lines, outcomes.next_hold_chance);
}

std::optional<double> ZScore(const PageSummary& summary) {
  if (summary.judged == 0 || summary.chance_variance <= 0.0) return std::nullopt;
  return (static_cast<double>(summary.held) - summary.chance_held) /
         std::sqrt(summary.chance_variance);
}

namespace {

// The gap between the lines held and the lines chance would hold.
double Gap(const PageSummary& summary) {
  return static_cast<double>(summary.held) - summary.chance_held;
}

}  // namespace

std::optional<double> TailChance(const PageSummary& summary) {
  if (!summary.tails || !ZScore(summary)) return std::nullopt;
  return Gap(summary) >= 0.0 ? summary.tails->at_least : summary.tails->at_most;
}

bool BeyondChance(const PageSummary& summary) {
  const std::optional<double> z = ZScore(summary);
  if (!z) return false;
  const std::optional<double> tail = TailChance(summary);
  return tail ? *z > 0.0 && *tail <= kBeyondChanceTail : *z >= kBeyondChanceZ;
}

bool WorseThanChance(const PageSummary& summary) {
  const std::optional<double> z = ZScore(summary);
  if (!z) return false;
  const std::optional<double> tail = TailChance(summary);
  return tail ? *z < 0.0 && *tail <= kBeyondChanceTail : *z <= -kBeyondChanceZ;
}

}  // namespace zelkor
