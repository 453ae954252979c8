#include "backtest/chance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
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
  // The run is first reached at line i when lines i-run+1..i fail after G[i-run]:
  // those chances are of disjoint events, so they are added up in log space
  // rather than taken from 1 - S, which rounds a rare run to nothing.
  std::vector<long double> g(count + 1, 0.0L);
  std::vector<long double> log_sum(count + 1, 0.0L);
  std::vector<size_t> zeros(count + 1, 0);
  g[0] = 1.0L;
  long double sum = 1.0L;  // S for line 1
  long double log_chance = -std::numeric_limits<long double>::infinity();
  size_t certain_misses = 0;  // the run of lines that cannot hold, so far
  bool escapable = true;
  for (size_t i = 1; i <= count; ++i) {
    const double p = std::clamp(lines[i - 1].chance, 0.0, 1.0);
    const double q = 1.0 - p;
    log_sum[i] = log_sum[i - 1] + (q > 0.0 ? std::log(static_cast<long double>(q)) : 0.0L);
    zeros[i] = zeros[i - 1] + (q > 0.0 ? 0 : 1);
    certain_misses = p > 0.0 ? 0 : certain_misses + 1;
    if (certain_misses >= length) escapable = false;
    g[i] = static_cast<long double>(p) * sum;
    // S for line i + 1.
    sum = sum * q + g[i];
    if (i >= length) {
      const size_t j = i - length;
      const bool can_fail = zeros[i] == zeros[j];
      if (can_fail && g[j] > 0.0L) {
        const long double log_first = std::log(g[j]) + log_sum[i] - log_sum[j];
        const long double high = std::max(log_chance, log_first);
        log_chance = high + std::log1p(std::exp(std::min(log_chance, log_first) - high));
      }
      sum -= can_fail ? g[j] * std::exp(log_sum[i] - log_sum[j]) : 0.0L;
    }
    if (sum < 0.0L) sum = 0.0L;
  }
  if (std::isinf(log_chance)) return escapable ? 0.0 : 1.0;
  // A run that can happen has a chance above 0, and one that can be escaped a
  // chance below 1, however far past what a double holds.
  const double chance = static_cast<double>(std::exp(log_chance));
  return std::clamp(chance, std::numeric_limits<double>::denorm_min(),
                    escapable ? std::nextafter(1.0, 0.0) : 1.0);
}

double ChanceAllFail(const std::vector<LineOutcome>& lines, size_t from) {
  long double log_chance = 0.0L;
  for (size_t i = from; i < lines.size(); ++i) {
    const double q = 1.0 - std::clamp(lines[i].chance, 0.0, 1.0);
    if (q <= 0.0) return 0.0;
    log_chance += std::log(static_cast<long double>(q));
  }
  const double chance = static_cast<double>(std::exp(log_chance));
  return std::max(chance, std::numeric_limits<double>::denorm_min());
}

BinomialTails ChanceTails(const std::vector<LineOutcome>& lines, int64_t held) {
  // The distribution of the number of lines held, one line at a time.
  std::vector<double> counts{1.0};
  counts.reserve(lines.size() + 1);
  for (const LineOutcome& line : lines) {
    const double p = std::clamp(line.chance, 0.0, 1.0);
    counts.push_back(0.0);
    for (size_t k = counts.size() - 1; k > 0; --k) {
      counts[k] = counts[k] * (1.0 - p) + counts[k - 1] * p;
    }
    counts[0] *= 1.0 - p;
  }
  BinomialTails tails;
  const auto at = static_cast<size_t>(std::clamp<int64_t>(held, 0, std::ssize(counts) - 1));
  for (size_t k = 0; k < counts.size(); ++k) {
    if (k <= at) tails.at_most += counts[k];
    if (k >= at) tails.at_least += counts[k];
  }
  tails.at_most = std::min(tails.at_most, 1.0);
  tails.at_least = std::min(tails.at_least, 1.0);
  return tails;
}

}  // namespace zelkor
