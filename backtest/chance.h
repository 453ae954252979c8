// The chance that a page's picks hold against draws taken at random, and
// the chance that random draws make a run of misses.
#pragma once

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
// time linear in the number of lines.
[[nodiscard]] double ChanceOfMissRun(const std::vector<LineOutcome>& lines, int64_t run);

}  // namespace zelkor
