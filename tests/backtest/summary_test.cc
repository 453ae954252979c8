#include "backtest/summary.h"
#include "backtest/summary_wording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/language.h"

namespace zelkor {
namespace {

// Draws per span over 000-999: 10 for span 0, 6k(10-k) for span k >= 1.
double SpanShare(int span) { return (span == 0 ? 10 : 6 * span * (10 - span)) / 1000.0; }

TEST(ChanceOfHolding, MatchesTheCountsOfTheThousandDraws) {
  struct Case {
    const char* label;
    const AnalysisPage& (*page)();
    int32_t position;
    const char* pick;
    double expected;
  };
  const Case cases[] = {
      {"kill digit, hundreds", KillDigitPage, 1, "4", 0.9},
      {"kill digit, tens", KillDigitPage, 2, "0", 0.9},
      {"kill digit, units", KillDigitPage, 3, "9", 0.9},
      {"empty kill digit always holds", KillDigitPage, 1, "", 1.0},
      {"three banker digits", BankerDigitPage, 1, "469", 1.0 - 0.343},
      {"banker digits in another order", BankerDigitPage, 1, "158", 1.0 - 0.343},
      {"spans 3 and 6", KillSpanPage, 1, "36", 1.0 - SpanShare(3) - SpanShare(6)},
      {"spans 0 and 3", KillSpanPage, 1, "03", 1.0 - SpanShare(0) - SpanShare(3)},
      {"spans 1 and 2", KillSpanPage, 1, "12", 1.0 - SpanShare(1) - SpanShare(2)},
      {"spans 4 and 5", KillSpanPage, 1, "45", 1.0 - SpanShare(4) - SpanShare(5)},
      {"spans 9 and 0", KillSpanPage, 1, "90", 1.0 - SpanShare(9) - SpanShare(0)},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.label);
    EXPECT_NEAR(ChanceOfHolding(test.page(), test.position, test.pick), test.expected, 1e-12);
  }
}

// The draws of the worked examples, newest first. Hand-checked:
//   kill, position 1: 123 -> kill 4, 907 has 9 (held); 907 -> value
//     1032.244706434, kill 7, 458 has 4 (held). Picks 4, 7: chance 0.9 each.
//   banker: 123 -> 469, 907 holds; 907 -> 273, 458 fails. Chance 0.657 each.
//   span: 123 -> 36, span of 907 is 9 (held); 907 -> 03, span of 458 is 4
//     (held). Chance 0.730 and 0.864.
const std::vector<HistoryRow>& WorkedRows() {
  static const std::vector<HistoryRow> rows{
      {"2023125", "458"}, {"2023124", "907"}, {"2023123", "123"}};
  return rows;
}

TEST(SummarizePage, CountsTheWalkAndTheChanceOfEachPick) {
  struct Case {
    const AnalysisPage& (*page)();
    int64_t held;
    double chance_held;
    double chance_variance;
  };
  const Case cases[] = {
      {KillDigitPage, 2, 1.8, 2 * 0.9 * 0.1},
      {BankerDigitPage, 1, 2 * 0.657, 2 * 0.657 * 0.343},
      {KillSpanPage, 2, 0.730 + 0.864, 0.730 * 0.270 + 0.864 * 0.136},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.page().option_name));
    const PageSummary summary =
        SummarizePage(test.page(), 1, WorkedRows(), InitialPageTexts(), [](const Text&) {});
    EXPECT_EQ(summary.judged, 2);
    EXPECT_EQ(summary.held, test.held);
    EXPECT_NEAR(summary.chance_held, test.chance_held, 1e-9);
    EXPECT_NEAR(summary.chance_variance, test.chance_variance, 1e-9);
  }
}

TEST(SummarizePage, UsesTheKillPositionForPicksAndVerdicts) {
  // Position 2 (multiplier 5): 123 -> 704.772320239, kill 3, tens of 907 is
  // 0 (held); 907 -> 5225.223532171, kill 5, tens of 458 is 5 (failed).
  const PageSummary summary =
      SummarizePage(KillDigitPage(), 2, WorkedRows(), InitialPageTexts(), [](const Text&) {});
  EXPECT_EQ(summary.position, 2);
  EXPECT_EQ(summary.judged, 2);
  EXPECT_EQ(summary.held, 1);
  // The next pick, from 458, is one kill digit: it holds 9 times in 10.
  EXPECT_NEAR(summary.next_hold_chance, 0.9, 1e-12);
}

TEST(SummarizePage, NoJudgedLinesWithFewerThanTwoDraws) {
  for (size_t count : {0u, 1u}) {
    const std::vector<HistoryRow> rows(WorkedRows().begin(), WorkedRows().begin() + count);
    const PageSummary summary =
        SummarizePage(KillSpanPage(), 1, rows, InitialPageTexts(), [](const Text&) {});
    EXPECT_EQ(summary.judged, 0);
    EXPECT_EQ(summary.held, 0);
    EXPECT_EQ(summary.chance_held, 0.0);
  }
}

TEST(FormatSummary, ShowsRatesAndWhetherChanceWasBeaten) {
  std::vector<PageSummary> summaries;
  for (const AnalysisPage* page : AllAnalysisPages()) {
    summaries.push_back(
        SummarizePage(*page, 1, WorkedRows(), InitialPageTexts(), [](const Text&) {}));
  }
  const std::string text = FormatSummary(summaries, WorkedRows().size());
  EXPECT_NE(text.find("Draws listed: 3; judged lines per page: 2\n"), std::string::npos) << text;
  // Two lines go by the exact tails: 0.9^2 = 81.0%; 1 - 0.657^2 = 56.8%;
  // the two span lines' own chances multiplied, 63.1%.
  EXPECT_NE(text.find("kill (position 1)         2      2    100.0%   90.0%  no evidence of "
                      "doing better than chance (exact tail chance 81.0%)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("banker                    2      1     50.0%   65.7%  no evidence of "
                      "doing better than chance (exact tail chance 56.8%)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("span                      2      2    100.0%   79.7%  no evidence of "
                      "doing better than chance (exact tail chance 63.1%)\n"),
            std::string::npos)
      << text;
}

TEST(FormatSummary, CallsAClearWinOnlyWhenTheGapIsLarge) {
  PageSummary strong{&BankerDigitPage(), 0, 100, 80, 65.7, 100 * 0.657 * 0.343};
  PageSummary certain{&KillDigitPage(), 1, 3, 3, 3.0, 0.0};
  PageSummary weak{&BankerDigitPage(), 0, 100, 50, 65.7, 100 * 0.657 * 0.343};
  PageSummary none{&KillSpanPage(), 0, 0, 0, 0.0, 0.0};
  // Beyond 1.96 but within what five tests at once give by chance.
  PageSummary modest{&BankerDigitPage(), 0, 100, 76, 65.7, 100 * 0.657 * 0.343};
  const std::string text = FormatSummary({strong, certain, weak, none, modest}, 101);
  // (76 - 65.7) / sqrt(22.5351) = 2.17.
  EXPECT_NE(text.find("76.0%   65.7%  no evidence of doing better than chance (z = +2.17)"),
            std::string::npos)
      << text;
  EXPECT_TRUE(BeyondChance(strong));
  EXPECT_FALSE(BeyondChance(modest));
  EXPECT_FALSE(BeyondChance(weak));
  // (50 - 65.7) / sqrt(22.5351) = -3.31.
  EXPECT_NE(text.find("50.0%   65.7%  no, worse than chance (z = -3.31)"), std::string::npos)
      << text;
  EXPECT_NE(text.find("80.0%   65.7%  yes (z = +3.01, unlikely to be luck)"), std::string::npos)
      << text;
  EXPECT_NE(text.find("100.0%  100.0%  no (chance is certain)"), std::string::npos) << text;
  EXPECT_NE(text.find("span                      0      0         -       -  no judged lines"),
            std::string::npos)
      << text;
}

// The two-sided 5% level shared out over the tests judged at once, and the
// summary's note saying so in words.
TEST(BeyondChance, ThresholdAndItsSentenceFollowTheNumberOfTests) {
  const std::pair<int, double> thresholds[] = {
      {1, 1.959963985}, {5, 2.575829304}, {6, 2.638257273}};
  for (const auto& [tests, z] : thresholds) EXPECT_NEAR(BonferroniZ(tests), z, 1e-8) << tests;
  EXPECT_EQ(kBeyondChanceZ, BonferroniZ(static_cast<int>(TestedPages().size())));
  const std::pair<int, std::pair<const char*, const char*>> words[] = {
      {2, {"two", "两"}}, {5, {"five", "五"}}, {12, {"twelve", "十二"}}, {13, {"13", "13"}}};
  for (const auto& [count, word] : words) {
    EXPECT_EQ(CountInWords(count, HelpLanguage::kEnglish), word.first);
    EXPECT_EQ(CountInWords(count, HelpLanguage::kChinese), word.second);
  }
  const std::vector<PageSummary> none;
  EXPECT_NE(FormatSummary(none, 0).find("Five pages are judged at once, so\na page counts as "
                                        "beyond chance only at |z| of 2.58 or more"),
            std::string::npos);
  EXPECT_NE(FormatSummary(none, 0, HelpLanguage::kChinese)
                .find("五种方法同时检验,所以只有 |z| 达到 2.58 或以上\n(5% 分摊到五项检验"),
            std::string::npos);
}

// Every sequence of held and failed lines, weighed by its chance.
double CountedChanceOfMissRun(const std::vector<LineOutcome>& lines, int64_t run) {
  double total = 0.0;
  for (uint32_t mask = 0; mask < (1u << lines.size()); ++mask) {
    double chance = 1.0;
    int64_t current = 0;
    int64_t longest = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      const bool held = (mask >> i & 1u) != 0;
      chance *= held ? lines[i].chance : 1.0 - lines[i].chance;
      current = held ? 0 : current + 1;
      longest = std::max(longest, current);
    }
    if (longest >= run) total += chance;
  }
  return total;
}

// Random draws hold no pattern: at most 5% of random histories may show any
// of the five page/positions beyond chance. Judged one at a time at
// |z| >= 1.96, about one in ten did.
TEST(BeyondChance, RandomHistoriesRarelyShowAnyPageBeyondChance) {
  // The threshold is shared out over the page/positions judged.
  ASSERT_EQ(TestedPages().size(), static_cast<size_t>(kTestedPages));
  constexpr int kHistories = 100;
  constexpr int kDraws = 400;
  std::mt19937 random(20);
  std::uniform_int_distribution<int> draw(0, 999);
  int flagged = 0;
  for (int h = 0; h < kHistories; ++h) {
    std::vector<HistoryRow> rows;
    for (int i = 0; i < kDraws; ++i) {
      const int number = draw(random);
      rows.push_back(
          {ToText(int32_t{3000 - i}),
           {static_cast<char>('0' + number / 100), static_cast<char>('0' + number / 10 % 10),
            static_cast<char>('0' + number % 10)}});
    }
    bool any = false;
    for (const auto& [page, position] : TestedPages()) {
      any |= BeyondChance(
          SummarizePage(*page, position, rows, InitialPageTexts(), [](const Text&) {}));
    }
    if (any) ++flagged;
  }
  EXPECT_LE(flagged, kHistories * 5 / 100);
}

TEST(ChanceOfMissRun, MatchesEverySequenceCounted) {
  const std::vector<LineOutcome> halves(3, LineOutcome{false, 0.5});
  // Of the eight equally likely sequences MMM, MMH and HMM hold two misses in a row.
  EXPECT_NEAR(ChanceOfMissRun(halves, 2), 3.0 / 8.0, 1e-12);
  std::vector<LineOutcome> mixed;
  for (const double chance : {0.9, 0.657, 0.0, 1.0, 0.73, 0.864, 0.5, 0.9, 0.1, 0.657, 0.9, 0.3}) {
    mixed.push_back({false, chance});
  }
  for (int64_t run = 0; run <= 13; ++run) {
    EXPECT_NEAR(ChanceOfMissRun(mixed, run), CountedChanceOfMissRun(mixed, run), 1e-12) << run;
  }
  // A hundred thousand kill lines: 1 - exp(-N p q^4) to within a few thousandths.
  const std::vector<LineOutcome> many(100000, LineOutcome{false, 0.9});
  EXPECT_NEAR(ChanceOfMissRun(many, 5), 1.0 - std::exp(-100000 * 0.9 * 1e-5), 0.005);
}

// Chances far past what 1 - x can show are still shown as not 0 and not 100.
TEST(ChanceOfMissRun, NeverRoundsAPossibleRunToCertainty) {
  struct Case {
    const char* label;
    size_t lines;
    int64_t run;
    const char* shown;
  };
  const Case cases[] = {
      {"a run of all 100 lines, 1e-100", 100, 100, "<0.1%"},
      {"a run of all 400 lines, past a double", 400, 400, "<0.1%"},
      {"some miss in 1500 lines, 1 - 1e-69", 1500, 1, ">99.9%"},
  };
  for (const Case& test : cases) {
    const std::vector<LineOutcome> lines(test.lines, LineOutcome{false, 0.9});
    const double chance = ChanceOfMissRun(lines, test.run);
    EXPECT_EQ(RunChance(chance), test.shown) << test.label;
    EXPECT_EQ(RunChance(ChanceAllFail(lines, 0)), "<0.1%") << test.label;
  }
  const std::vector<LineOutcome> hundred(100, LineOutcome{false, 0.9});
  EXPECT_NEAR(std::log10(ChanceOfMissRun(hundred, 100)), -100.0, 1e-9);
}

// Histories at the edges, each page/position summarized as the report does.
TEST(FormatSummary, ReadsRightAtTheEdges) {
  const auto rows_of = [](std::vector<std::string> digits) {
    std::vector<HistoryRow> rows;
    for (size_t i = 0; i < digits.size(); ++i) {
      rows.push_back({Text(std::to_string(2026000 + digits.size() - i)), Text(digits[i])});
    }
    return rows;
  };
  std::mt19937 random(7);
  std::vector<std::string> forty;
  for (int i = 0; i < 40; ++i) forty.push_back(std::to_string(100 + random() % 900));
  struct Case {
    const char* label;
    std::vector<HistoryRow> rows;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
  };
  const Case cases[] = {
      {"no draws", {}, {"judged lines per page: 0", "no judged lines"}, {"z ="}},
      {"one draw", rows_of({"738"}), {"no judged lines"}, {"z ="}},
      // One failed line in ten fails by chance alone.
      {"738 then 405", rows_of({"405", "738"}), {"(exact tail chance 10.0%)"}, {"worse", "z ="}},
      {"forty draws",
       rows_of(forty),
       {"(Last 100 covers the 39 judged lines there are.)", "exact tail chance"},
       {"z ="}},
      {"a hundred identical draws",
       rows_of(std::vector<std::string>(100, "738")),
       {"kill (position 1)        99     <0.1%      99     <0.1%      90.0%"},
       {"99      0.0%"}},
      {"a hundred draws that all hold",
       rows_of(std::vector<std::string>(100, "111")),
       {"kill (position 1)         0    100.0%       0         -      90.0%"},
       {"(100.0%)"}},
  };
  for (const Case& test : cases) {
    std::vector<PageSummary> summaries;
    for (const auto& [page, position] : TestedPages()) {
      summaries.push_back(
          SummarizePage(*page, position, test.rows, InitialPageTexts(), [](const Text&) {}));
    }
    const std::string text = FormatSummary(summaries, test.rows.size());
    for (const std::string& shown : test.shown) {
      EXPECT_NE(text.find(shown), std::string::npos) << test.label << ": " << shown << "\n" << text;
    }
    for (const std::string& hidden : test.not_shown) {
      EXPECT_EQ(text.find(hidden), std::string::npos) << test.label << ": " << hidden << "\n"
                                                      << text;
    }
  }
}

// A history whose figures are known: 110 held lines, 4 failed, 16 held and
// the last 2 failed, each line with chance 0.9 but the last two with 0.5.
TEST(SummarizeOutcomes, CountsRecentWindowsAndRuns) {
  std::vector<LineOutcome> lines;
  const auto add = [&lines](int count, bool held, double chance) {
    lines.insert(lines.end(), static_cast<size_t>(count), LineOutcome{held, chance});
  };
  add(110, true, 0.9);
  add(4, false, 0.9);
  add(16, true, 0.9);
  add(2, false, 0.5);
  const PageSummary summary = SummarizeOutcomes(BankerDigitPage(), 2, lines);
  EXPECT_EQ(summary.position, 0);
  EXPECT_EQ(summary.judged, 132);
  EXPECT_EQ(summary.held, 126);
  EXPECT_NEAR(summary.chance_held, 130 * 0.9 + 1.0, 1e-9);
  EXPECT_EQ(summary.recent[0].judged, 100);
  EXPECT_EQ(summary.recent[0].held, 94);
  EXPECT_NEAR(summary.recent[0].chance_held, 98 * 0.9 + 1.0, 1e-9);
  EXPECT_EQ(summary.recent[1].judged, 30);
  EXPECT_EQ(summary.recent[1].held, 24);
  EXPECT_NEAR(summary.recent[1].chance_held, 28 * 0.9 + 1.0, 1e-9);
  EXPECT_EQ(summary.longest_miss_run, 4);
  EXPECT_NEAR(summary.longest_run_chance, ChanceOfMissRun(lines, 4), 1e-15);
  EXPECT_EQ(summary.current_miss_run, 2);
  EXPECT_NEAR(summary.current_run_chance, 0.25, 1e-12);

  // Fewer lines than a window: the window holds them all.
  const PageSummary short_history =
      SummarizeOutcomes(KillSpanPage(), 1, {lines.end() - 5, lines.end()});
  EXPECT_EQ(short_history.recent[0].judged, 5);
  EXPECT_EQ(short_history.recent[1].held, 3);
  EXPECT_EQ(short_history.longest_miss_run, 2);
  const std::string short_text = FormatSummary({short_history}, 6);
  EXPECT_NE(short_text.find("(Last 100 covers the 5 judged lines there are.)\n"
                            "(Last 30 covers the 5 judged lines there are.)\n"),
            std::string::npos)
      << short_text;
  const std::string text = FormatSummary({summary}, 133);
  EXPECT_NE(text.find("\nbanker                  94.0%   89.2%     80.0%   87.3%\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nbanker                    4"), std::string::npos) << text;
  EXPECT_NE(text.find("       2     25.0%       0.0%\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace zelkor
