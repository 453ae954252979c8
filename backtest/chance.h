// The chance that a page's picks hold against draws taken at random, and
// the chance that random draws make a run of misses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "analysis/analysis.h"

namespace zelkor {

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
// time linear in the number of lines. Never 0 for a run that can happen nor
// 1 for one that can be escaped, however long the history.
[[nodiscard]] double ChanceOfMissRun(const std::vector<LineOutcome>& lines, int64_t run);

// The chance that lines[from..] all fail; above 0 whenever they can.
[[nodiscard]] double ChanceAllFail(const std::vector<LineOutcome>& lines, size_t from);

// The chances that the lines hold at most and at least `held` times, exactly
// (the sum of independent lines of unequal chances). Takes time quadratic in
// the number of lines.
struct BinomialTails {
  double at_most = 0.0;
  double at_least = 0.0;
};
[[nodiscard]] BinomialTails ChanceTails(const std::vector<LineOutcome>& lines, int64_t held);

}  // namespace zelkor
