#include "report/summary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace zelkor {
namespace {

// Every draw the lottery can produce, 000 to 999, each equally likely.
constexpr int kDrawCount = 1000;
// |z| below this is what random draws give 95 times in 100.
constexpr double kSignificantZ = 1.96;

std::string Format(const char* format, auto... values) {
  std::array<char, 256> buffer;
  const int length = std::snprintf(buffer.data(), buffer.size(), format, values...);
  if (length < 0) return {};
  return std::string(buffer.data(), std::min(static_cast<size_t>(length), buffer.size() - 1));
}

std::string PageLabel(const PageSummary& summary) {
  switch (summary.page) {
    case ReportPage::kKill:
      return Format("kill (position %d)", static_cast<int>(summary.position));
    case ReportPage::kBanker:
      return "banker";
    case ReportPage::kSpan:
      return "span";
  }
  return {};
}

std::string Verdict(const PageSummary& summary) {
  if (summary.judged == 0) return "no judged lines";
  const double gap = static_cast<double>(summary.held) - summary.chance_held;
  // Chance is a sum of thousandths; a gap below this is rounding, not skill.
  constexpr double kTie = 1e-9;
  if (summary.chance_variance <= 0.0) {
    // Every pick held on all draws or on none: no room to beat chance.
    return gap > kTie ? "yes" : "no (chance is certain)";
  }
  const double z = gap / std::sqrt(summary.chance_variance);
  if (gap <= kTie) {
    if (z <= -kSignificantZ) return Format("no, worse than chance (z = %+.2f)", z);
    return Format("no (z = %+.2f)", z);
  }
  if (z >= kSignificantZ) return Format("yes (z = %+.2f, unlikely to be luck)", z);
  return Format("yes, but within chance variation (z = %+.2f)", z);
}

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

PageSummary SummarizePage(ReportPage which, int32_t position, const std::vector<HistoryRow>& rows,
                          const PageTexts& texts, const Notify& notify) {
  // The walk picks once per judged line, oldest first, and once more for the
  // next issue; recording the picks gives the chance each line had.
  AnalysisPage page = AnalysisPageOf(which);
  std::vector<Text> picks;
  page.pick = [&picks, pick = page.pick](const Text& value_text) {
    picks.push_back(pick(value_text));
    return picks.back();
  };
  WalkTally tally;
  [[maybe_unused]] const Text text = BuildPageText(page, rows, texts, position, notify, &tally);
  if (picks.size() != static_cast<size_t>(tally.judged) + 1) {
    throw std::logic_error("the walk picked a different number of times than it judged");
  }

  PageSummary summary;
  summary.page = which;
  summary.position = which == ReportPage::kKill ? position : 0;
  summary.judged = tally.judged;
  summary.held = tally.held;
  std::map<Text, double> chance_of_pick;
  for (size_t i = 0; i + 1 < picks.size(); ++i) {
    auto [entry, inserted] = chance_of_pick.try_emplace(picks[i], 0.0);
    if (inserted) entry->second = ChanceOfHolding(page, position, picks[i]);
    summary.chance_held += entry->second;
    summary.chance_variance += entry->second * (1.0 - entry->second);
  }
  return summary;
}

std::string FormatSummary(const std::vector<PageSummary>& summaries, size_t draw_count) {
  std::string out = Format("Draws listed: %zu; judged lines per page: %zu\n\n", draw_count,
                           draw_count > 0 ? draw_count - 1 : 0);
  out += Format("%-19s %7s %6s %9s %7s  %s\n", "Page", "Judged", "Held", "Hit rate", "Chance",
                "Beats chance?");
  for (const PageSummary& summary : summaries) {
    std::string hit_rate = "-";
    std::string chance = "-";
    if (summary.judged > 0) {
      const double judged = static_cast<double>(summary.judged);
      hit_rate = Format("%.1f%%", 100.0 * static_cast<double>(summary.held) / judged);
      chance = Format("%.1f%%", 100.0 * summary.chance_held / judged);
    }
    out += Format("%-19s %7lld %6lld %9s %7s  %s\n", PageLabel(summary).c_str(),
                  static_cast<long long>(summary.judged), static_cast<long long>(summary.held),
                  hit_rate.c_str(), chance.c_str(), Verdict(summary).c_str());
  }
  out +=
      "\nHit rate: the share of judged lines whose prediction held. Chance: the share the same\n"
      "picks would hold against draws taken at random from the 1000 equally likely draws\n"
      "000-999, worked out by trying every one of them. z: the gap between the lines held and\n"
      "the lines chance would hold, in standard deviations; |z| below 1.96 is within chance\n"
      "variation.\n";
  return out;
}

}  // namespace zelkor
