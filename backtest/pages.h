// The analysis pages a backtest judges, and the language its words are in:
// shared by the report tool and the draw service's start-up page.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "analysis/analysis.h"

namespace zelkor {

// The analysis pages by their command-line names.
enum class ReportPage { kKill, kBanker, kSpan };

// The language of the words shown to the user.
enum class HelpLanguage { kEnglish, kChinese };

// Every page a backtest judges, in the order it is shown: the kill digit at
// each of its three positions, then the banker digits and the kill spans.
inline constexpr std::array<std::pair<ReportPage, int32_t>, 5> kJudgedPages{{
    {ReportPage::kKill, 1},
    {ReportPage::kKill, 2},
    {ReportPage::kKill, 3},
    {ReportPage::kBanker, 0},
    {ReportPage::kSpan, 0},
}};

// The window's page that a report page stands for.
[[nodiscard]] const AnalysisPage& AnalysisPageOf(ReportPage page);

// The command-line name of a page: "kill", "banker" or "span".
[[nodiscard]] std::string_view ReportPageName(ReportPage page);

}  // namespace zelkor
