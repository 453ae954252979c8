// How often a page's predictions held over a history, set against what the
// same picks would score on draws taken at random.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "report/report.h"

namespace zelkor {

struct PageSummary {
  ReportPage page = ReportPage::kKill;
  int32_t position = 0;  // the kill position; 0 on the other pages
  int64_t judged = 0;
  int64_t held = 0;
  // The number of lines the same picks would be expected to hold against
  // random draws, and the variance of that number.
  double chance_held = 0.0;
  double chance_variance = 0.0;
};

// The share of the 1000 equally likely draws 000 to 999 against which `pick`
// holds under the page's verdict.
[[nodiscard]] double ChanceOfHolding(const AnalysisPage& page, int32_t position, const Text& pick);

// Runs the page's walk over `rows` and tallies it.
[[nodiscard]] PageSummary SummarizePage(ReportPage page, int32_t position,
                                        const std::vector<HistoryRow>& rows, const PageTexts& texts,
                                        const Notify& notify);

// The summary table and verdicts, ASCII, lines ending in "\n".
[[nodiscard]] std::string FormatSummary(const std::vector<PageSummary>& summaries,
                                        size_t draw_count);

}  // namespace zelkor
