// The summary in words: page labels, figures as the tables show them, the
// verdict and the summary tables, in English or Chinese.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "backtest/language.h"
#include "backtest/summary.h"

namespace zelkor {

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

// The verdict on whether a page beats chance, in a few words.
[[nodiscard]] std::string Verdict(const PageSummary& summary,
                                  HelpLanguage language = HelpLanguage::kEnglish);

}  // namespace zelkor
