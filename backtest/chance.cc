#include "backtest/chance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace zelkor {
namespace {

// Every draw the lottery can produce, 000 to 999, each equally likely.
constexpr int kDrawCount = 1000;

}  // namespace

double ChanceOfHolding(const AnalysisPage& page, int32_t position, const Text& pick) {
  const Notify silent = [](const Text&) {};
  int held = 0;
  for (int number = 0; number < kDrawCount; ++number) {
    const Text draw{static_cast<char>('0' + number / 100),
                    static_cast<char>('0' + number / 10 % 10),
                    static_cast<char>('0' + number % 10)};
    if (page.verdict(position, pick, draw, silent)) ++held;
  }
  return static_cast<double>(held) / kDrawCount;
}

ChanceTable::ChanceTable(const AnalysisPage& page, int32_t position)
    : page_(page), position_(position) {}

double ChanceTable::Of(const Text& pick) {
  auto found = chances_.find(pick);
  if (found == chances_.end()) {
    found = chances_.emplace(pick, ChanceOfHolding(page_, position_, pick)).first;
  }
  return found->second;
}

double ChanceOfMissRun(const std::vector<LineOutcome>& lines, int64_t run) {
  if (run <= 0) return 1.0;
  const size_t count = lines.size();
  const auto length = static_cast<size_t>(run);
  if (length > count) return 0.0;
  // G[i]: no run that long within lines 1..i, and line i held (G[0] = 1).
  // S: the sum over the possible last held line j in [i - run, i - 1] of
  // G[j] times the chance that lines j+1..i-1 all failed; G[i] = p_i S.
  // Products of failure chances over a span come from prefix sums of their
  // logarithms, counting the certain holds (a failure chance of 0) apart.
  std::vector<double> g(count + 1, 0.0);
  std::vector<long double> log_sum(count + 1, 0.0L);
  std::vector<size_t> zeros(count + 1, 0);
  g[0] = 1.0;
  long double sum = 1.0L;  // S for line 1
  for (size_t i = 1; i <= count; ++i) {
    const double p = std::clamp(lines[i - 1].chance, 0.0, 1.0);
    const double q = 1.0 - p;
    log_sum[i] = log_sum[i - 1] + (q > 0.0 ? std::log(static_cast<long double>(q)) : 0.0L);
    zeros[i] = zeros[i - 1] + (q > 0.0 ? 0 : 1);
    g[i] = static_cast<double>(static_cast<long double>(p) * sum);
    // S for line i + 1.
    sum = sum * q + g[i];
    if (i >= length) {
      const size_t j = i - length;
      const long double failed = zeros[i] - zeros[j] > 0 ? 0.0L : std::exp(log_sum[i] - log_sum[j]);
      sum -= g[j] * failed;
    }
    if (sum < 0.0L) sum = 0.0L;
  }
  // S for line N + 1 is the chance of no such run in all N lines.
  return std::clamp(1.0 - static_cast<double>(sum), 0.0, 1.0);
}

}  // namespace zelkor
