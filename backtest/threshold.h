// How many page/positions the backtest judges at once, and how far from
// chance one must then be before it counts as beyond chance. Both follow from
// the page registry, so a page added there changes them and the sentence that
// explains them.
#pragma once

#include <string>

#include "analysis/analysis.h"
#include "backtest/language.h"

namespace zelkor {

// How many page/positions the backtest judges at once: the kill digit at
// each of its three positions, the banker digits and the kill spans.
inline constexpr int kTestedPages = JudgedPageCount();

// The |z| from which one of `tests` tests judged at once counts as beyond
// chance: the two-sided 5% level shared out over them (Bonferroni), the
// normal quantile of 1 - 0.05 / (2 * tests).
[[nodiscard]] double BonferroniZ(int tests);

// BonferroniZ for the tested pages. Without the share, one random history in
// ten would show some page "beating" chance.
inline const double kBeyondChanceZ = BonferroniZ(kTestedPages);

// `count` as a word ("five", "五" as in 五个), in digits beyond twelve.
[[nodiscard]] std::string CountInWords(int count, HelpLanguage language);

}  // namespace zelkor
