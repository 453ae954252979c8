#include "backtest/summary_wording.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "backtest/threshold.h"
#include "backtest/wording.h"
#include "runtime/format.h"

namespace zelkor {
namespace {

// Chance is a sum of thousandths; a gap below this is rounding, not skill.
constexpr double kTie = 1e-9;

}  // namespace

std::string PageLabel(const AnalysisPage& page, int32_t position, HelpLanguage language) {
  const bool chinese = language == HelpLanguage::kChinese;
  const std::string label(chinese ? page.chinese_label : page.english_label);
  if (!page.HasKillPosition()) return label;
  if (chinese) {
    static constexpr const char* kPlaces[] = {"?", "百位", "十位", "个位"};
    return Format("%s(%s)", label.c_str(), kPlaces[position >= 1 && position <= 3 ? position : 0]);
  }
  return Format("%s (position %d)", label.c_str(), static_cast<int>(position));
}

std::string Verdict(const PageSummary& summary, HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  if (summary.judged == 0) return say("no judged lines", "没有判定行");
  const double gap = static_cast<double>(summary.held) - summary.chance_held;
  const std::optional<double> z = ZScore(summary);
  if (!z) {
    // Every pick held on all draws or on none: no room to beat chance.
    return gap > kTie ? say("yes", "是") : say("no (chance is certain)", "否(随机结果确定)");
  }
  // Short histories go by the exact tail chance, longer ones by z.
  const std::optional<double> tail = TailChance(summary);
  const std::string measure =
      tail ? say("exact tail chance ", "精确尾概率 ") + RunChance(*tail) : Format("z = %+.2f", *z);
  if (BeyondChance(summary)) {
    return Format(say("yes (%s, unlikely to be luck)", "是(%s,不太可能是运气)").c_str(),
                  measure.c_str());
  }
  if (WorseThanChance(summary)) {
    return Format(say("no, worse than chance (%s)", "否,不如随机(%s)").c_str(), measure.c_str());
  }
  return Format(
      say("no evidence of doing better than chance (%s)", "没有胜过随机的证据(%s)").c_str(),
      measure.c_str());
}

std::string RatePercent(int64_t part, int64_t whole) {
  if (whole <= 0) return "-";
  return Format("%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
}

std::string ChancePercent(double part, int64_t whole) {
  if (whole <= 0) return "-";
  return Format("%.1f%%", 100.0 * part / static_cast<double>(whole));
}

std::string RunChance(double chance) {
  if (chance < 0.001 && chance > 0.0) return "<0.1%";
  if (chance > 0.999 && chance < 1.0) return ">99.9%";
  return Format("%.1f%%", 100.0 * chance);
}

namespace {

// One table row: each cell padded to its width (negative: left-aligned),
// cells apart by one space, then `tail` after two.
std::string TableRow(std::initializer_list<std::pair<std::string, int>> cells,
                     std::string_view tail = {}) {
  std::string row;
  for (const auto& [text, width] : cells) {
    if (!row.empty()) row += ' ';
    row += Padded(text, width);
  }
  if (!tail.empty()) row.append("  ").append(tail);
  return row + "\n";
}

std::string Count(int64_t count) { return std::to_string(count); }

}  // namespace

std::string FormatSummary(const std::vector<PageSummary>& summaries, size_t draw_count,
                          HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const auto label = [language](const PageSummary& summary) {
    return PageLabel(*summary.page, summary.position, language);
  };
  // Each column as wide as its English width or its heading, whichever is
  // wider, so that longer Chinese headings keep the figures lined up.
  const auto fit = [](const std::string& heading, int width) {
    const int wide = std::max(std::abs(width), static_cast<int>(DisplayWidth(heading)));
    return std::pair<std::string, int>(heading, width < 0 ? -wide : wide);
  };
  const std::array<std::pair<std::string, int>, 5> totals{
      fit(say("Page", "方法"), -19), fit(say("Judged", "检验期数"), 7), fit(say("Held", "命中"), 6),
      fit(say("Hit rate", "命中率"), 9), fit(say("Chance", "随机基线"), 7)};
  std::string out = Format(say("Draws listed: %zu; judged lines per page: %zu\n\n",
                               "列出开奖 %zu 期;每种方法检验 %zu 期\n\n")
                               .c_str(),
                           draw_count, draw_count > 0 ? draw_count - 1 : 0);
  out += TableRow({totals[0], totals[1], totals[2], totals[3], totals[4]},
                  say("Beats chance?", "胜过随机?"));
  for (const PageSummary& summary : summaries) {
    out += TableRow({{label(summary), totals[0].second},
                     {Count(summary.judged), totals[1].second},
                     {Count(summary.held), totals[2].second},
                     {RatePercent(summary.held, summary.judged), totals[3].second},
                     {ChancePercent(summary.chance_held, summary.judged), totals[4].second}},
                    Verdict(summary, language));
  }
  out += '\n';
  const std::array<std::pair<std::string, int>, 5> recent{
      fit(say("Recent lines", "近期"), -19), fit(say("Last 100", "近100期"), 9),
      fit(say("Chance", "随机基线"), 7), fit(say("Last 30", "近30期"), 9),
      fit(say("Chance", "随机基线"), 7)};
  out += TableRow({recent[0], recent[1], recent[2], recent[3], recent[4]});
  for (const PageSummary& summary : summaries) {
    const HitFigures& hundred = summary.recent[0];
    const HitFigures& thirty = summary.recent[1];
    out += TableRow({{label(summary), recent[0].second},
                     {RatePercent(hundred.held, hundred.judged), recent[1].second},
                     {ChancePercent(hundred.chance_held, hundred.judged), recent[2].second},
                     {RatePercent(thirty.held, thirty.judged), recent[3].second},
                     {ChancePercent(thirty.chance_held, thirty.judged), recent[4].second}});
  }
  // A short history fills neither window; the columns say so rather than
  // pass a few lines off as a hundred.
  if (!summaries.empty()) {
    for (size_t w = 0; w < kRecentWindows.size(); ++w) {
      const int64_t covered = summaries.front().recent[w].judged;
      if (covered < kRecentWindows[w]) {
        out += Format(say("(Last %lld covers the %lld judged lines there are.)\n",
                          "(近%lld期一栏只有已检验的 %lld 期。)\n")
                          .c_str(),
                      static_cast<long long>(kRecentWindows[w]), static_cast<long long>(covered));
      }
    }
  }
  out += '\n';
  const std::array<std::pair<std::string, int>, 6> runs{
      fit(say("Miss runs", "连错"), -19), fit(say("Longest", "最长"), 7),
      fit(say("Chance", "随机基线"), 9),  fit(say("Current", "当前"), 7),
      fit(say("Chance", "随机基线"), 9),  fit(say("Next holds", "下期随机命中率"), 10)};
  out += TableRow({runs[0], runs[1], runs[2], runs[3], runs[4], runs[5]});
  for (const PageSummary& summary : summaries) {
    // No run to judge: a chance of 100% would read as a certainty of something.
    const std::string current =
        summary.current_miss_run > 0 ? RunChance(summary.current_run_chance) : say("-", "—");
    out += TableRow({{label(summary), runs[0].second},
                     {Count(summary.longest_miss_run), runs[1].second},
                     {RunChance(summary.longest_run_chance), runs[2].second},
                     {Count(summary.current_miss_run), runs[3].second},
                     {current, runs[4].second},
                     {RunChance(summary.next_hold_chance), runs[5].second}});
  }
  // How many pages are judged at once, and so the threshold, follow from
  // the page registry.
  const std::string count = CountInWords(kTestedPages, language);
  std::string first = count;
  if (language == HelpLanguage::kEnglish) {
    first[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(first[0])));
  }
  out += Format(
      say("\nHit rate: the share of judged lines whose prediction held. Chance: the share the "
          "same\n"
          "picks would hold against draws taken at random from the 1000 equally likely draws\n"
          "000-999, worked out by trying every one of them. z: the gap between the lines held and\n"
          "the lines chance would hold, in standard deviations. %s pages are judged at once, so\n"
          "a page counts as beyond chance only at |z| of %.2f or more (5%% shared out over the %s\n"
          "tests, either way); below that the gap is within chance variation. Up to %lld judged\n"
          "lines the verdict goes instead by the exact tail chance, the chance that random draws\n"
          "hold at least as many lines (at most as many, below chance), beyond chance at %.1f%% "
          "or\n"
          "less. Recent lines: the same over the last 100 and the last 30 judged lines. Miss\n"
          "runs: the longest run of failed lines, with how likely random draws make a run at\n"
          "least that long somewhere in the judged lines; the run the history ends with, with how\n"
          "likely random draws make its lines all fail. Draws do not remember: however long the\n"
          "current run, the next issue's pick holds with the chance under Next holds.\n",
          "\n命中率:预测成立的检验期所占的比例。随机基线:同样的预测对从 000-999 这 1000 个\n"
          "等可能的开奖中随机抽取的开奖成立的比例,逐一试过全部 1000 个开奖得出。z:命中期数\n"
          "与随机应命中期数之差,以标准差计。%s种方法同时检验,所以只有 |z| 达到 %.2f 或以上\n"
          "(5%% 分摊到%s项检验和两个方向)才算超出随机;低于此值的差距属于随机波动。检验期数\n"
          "不超过 %lld 时改用精确尾概率判断:随机开奖命中至少这么多期(低于随机时为至多这么\n"
          "多期)的概率,不超过 %.1f%% 才算超出随机。近期:最近 100 期和最近 30 期的同样数字。\n"
          "连错:最长的连续未中期数,以及随机开奖在这么多检验期中出现至少这么长连错的概率;\n"
          "历史结尾处的连错,以及随机开奖使这些期全部未中的概率。开奖没有记忆:无论当前连错\n"
          "多长,下一期的预测成立的概率都是\"下期随机命中率\"一栏的数字。\n")
          .c_str(),
      first.c_str(), kBeyondChanceZ, count.c_str(), static_cast<long long>(kExactTestLines),
      100.0 * kBeyondChanceTail);
  return out;
}

}  // namespace zelkor
