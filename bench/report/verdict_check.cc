// Runs the backtest over histories of uniformly random draws and counts those
// on which any page/position is called beyond chance. Random draws hold no
// pattern, so that share is the verdict's false-positive rate; it should stay
// at or below 5%.
//
//   zelkor3d-verdict-check [HISTORIES [DRAWS [SEED]]]   (400 7731 1 by default)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "backtest/summary.h"
#include "backtest/summary_wording.h"
#include "report/report.h"

int main(int argc, char** argv) {
  using namespace zelkor;
  const auto argument = [argc, argv](int at, unsigned long fallback) {
    return argc > at ? std::strtoul(argv[at], nullptr, 10) : fallback;
  };
  const unsigned long histories = argument(1, 400);
  const unsigned long draws = argument(2, 7731);
  std::mt19937 random(static_cast<std::mt19937::result_type>(argument(3, 1)));
  std::uniform_int_distribution<int> draw(0, 999);
  const std::vector<PageAt> pages = TestedPages();
  const PageTexts texts = InitialPageTexts();
  unsigned long flagged = 0;
  unsigned long either_way = 0;  // |z| past the threshold, worse included
  std::vector<unsigned long> flagged_by_page(pages.size(), 0);
  for (unsigned long h = 0; h < histories; ++h) {
    std::vector<HistoryRow> rows(draws);
    for (unsigned long i = 0; i < draws; ++i) {
      const int number = draw(random);
      rows[draws - 1 - i] = {
          std::to_string(2004001 + i),
          {static_cast<char>('0' + number / 100), static_cast<char>('0' + number / 10 % 10),
           static_cast<char>('0' + number % 10)}};
    }
    bool any = false;
    bool any_either_way = false;
    for (size_t p = 0; p < pages.size(); ++p) {
      const PageSummary summary =
          SummarizePage(*pages[p].first, pages[p].second, rows, texts, [](const Text&) {});
      if (BeyondChance(summary)) {
        any = true;
        ++flagged_by_page[p];
      }
      const std::optional<double> z = ZScore(summary);
      if (z && std::abs(*z) >= kBeyondChanceZ) any_either_way = true;
    }
    if (any) ++flagged;
    if (any_either_way) ++either_way;
  }
  std::printf(
      "%lu of %lu random %lu-draw histories (%.1f%%) had a page beyond chance (|z| >= %.4f)\n",
      flagged, histories, draws,
      histories > 0 ? 100.0 * static_cast<double>(flagged) / static_cast<double>(histories) : 0.0,
      kBeyondChanceZ);
  std::printf("%lu had a page past the threshold either way (worse than chance included)\n",
              either_way);
  for (size_t p = 0; p < pages.size(); ++p) {
    std::printf("  %-19s %lu\n", PageLabel(*pages[p].first, pages[p].second).c_str(),
                flagged_by_page[p]);
  }
  return 0;
}
