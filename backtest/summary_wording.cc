#include "backtest/summary_wording.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "backtest/wording.h"

namespace zelkor {
namespace {

// Chance is a sum of thousandths; a gap below this is rounding, not skill.
constexpr double kTie = 1e-9;

std::string Format(const char* format, auto... values) {
  std::array<char, 256> buffer;
  const int length = std::snprintf(buffer.data(), buffer.size(), format, values...);
  if (length < 0) return {};
  return std::string(buffer.data(), std::min(static_cast<size_t>(length), buffer.size() - 1));
}

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
  if (BeyondChance(summary)) {
    return Format(
        say("yes (z = %+.2f, unlikely to be luck)", "是(z = %+.2f,不太可能是运气)").c_str(), *z);
  }
  if (*z <= -kBeyondChanceZ) {
    return Format(say("no, worse than chance (z = %+.2f)", "否,不如随机(z = %+.2f)").c_str(), *z);
  }
  return Format(
      say("no evidence of doing better than chance (z = %+.2f)", "没有胜过随机的证据(z = %+.2f)")
          .c_str(),
      *z);
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
  std::string out = Format(say("Draws listed: %zu; judged lines per page: %zu\n\n",
                               "列出开奖 %zu 期;每页判定 %zu 行\n\n")
                               .c_str(),
                           draw_count, draw_count > 0 ? draw_count - 1 : 0);
  out += TableRow({{say("Page", "页面"), -19},
                   {say("Judged", "判定"), 7},
                   {say("Held", "命中"), 6},
                   {say("Hit rate", "命中率"), 9},
                   {say("Chance", "随机"), 7}},
                  say("Beats chance?", "胜过随机?"));
  for (const PageSummary& summary : summaries) {
    out += TableRow({{label(summary), -19},
                     {Count(summary.judged), 7},
                     {Count(summary.held), 6},
                     {RatePercent(summary.held, summary.judged), 9},
                     {ChancePercent(summary.chance_held, summary.judged), 7}},
                    Verdict(summary, language));
  }
  out += '\n';
  out += TableRow({{say("Recent lines", "近期"), -19},
                   {say("Last 100", "近100行"), 9},
                   {say("Chance", "随机"), 7},
                   {say("Last 30", "近30行"), 9},
                   {say("Chance", "随机"), 7}});
  for (const PageSummary& summary : summaries) {
    const HitFigures& hundred = summary.recent[0];
    const HitFigures& thirty = summary.recent[1];
    out += TableRow({{label(summary), -19},
                     {RatePercent(hundred.held, hundred.judged), 9},
                     {ChancePercent(hundred.chance_held, hundred.judged), 7},
                     {RatePercent(thirty.held, thirty.judged), 9},
                     {ChancePercent(thirty.chance_held, thirty.judged), 7}});
  }
  // A short history fills neither window; the columns say so rather than
  // pass a few lines off as a hundred.
  if (!summaries.empty()) {
    for (size_t w = 0; w < kRecentWindows.size(); ++w) {
      const int64_t covered = summaries.front().recent[w].judged;
      if (covered < kRecentWindows[w]) {
        out += Format(say("(Last %lld covers the %lld judged lines there are.)\n",
                          "(近%lld行一栏只有 %lld 个判定行。)\n")
                          .c_str(),
                      static_cast<long long>(kRecentWindows[w]), static_cast<long long>(covered));
      }
    }
  }
  out += '\n';
  out += TableRow({{say("Miss runs", "连错"), -19},
                   {say("Longest", "最长"), 7},
                   {say("Chance", "随机"), 9},
                   {say("Current", "当前"), 7},
                   {say("Chance", "随机"), 9},
                   {say("Next holds", "下期命中"), 10}});
  for (const PageSummary& summary : summaries) {
    out += TableRow({{label(summary), -19},
                     {Count(summary.longest_miss_run), 7},
                     {RunChance(summary.longest_run_chance), 9},
                     {Count(summary.current_miss_run), 7},
                     {RunChance(summary.current_run_chance), 9},
                     {RunChance(summary.next_hold_chance), 10}});
  }
  out += say(
      "\nHit rate: the share of judged lines whose prediction held. Chance: the share the same\n"
      "picks would hold against draws taken at random from the 1000 equally likely draws\n"
      "000-999, worked out by trying every one of them. z: the gap between the lines held and\n"
      "the lines chance would hold, in standard deviations. Five pages are judged at once, so\n"
      "a page counts as beyond chance only at |z| of 2.58 or more (5% shared out over the five\n"
      "tests, either way); below that the gap is within chance variation. Recent lines: the\n"
      "same over the last 100 and the last 30 judged lines. Miss runs: the longest run of\n"
      "failed lines, with how likely random draws make a run at least that long somewhere in\n"
      "the judged lines; the run the history ends with, with how likely random draws make its\n"
      "lines all fail. Draws do not remember: however long the current run, the next issue's\n"
      "pick holds with the chance under Next holds.\n",
      "\n命中率:预测成立的判定行所占的比例。随机:同样的预测对从 000-999 这 1000 个\n"
      "等可能的开奖中随机抽取的开奖成立的比例,逐一试过全部 1000 个开奖得出。z:命中行数\n"
      "与随机应命中行数之差,以标准差计。五个页面同时检验,所以只有 |z| 达到 2.58 或以上\n"
      "(5% 分摊到五项检验和两个方向)才算超出随机;低于此值的差距属于随机波动。近期:\n"
      "最近 100 行和最近 30 行判定行的同样数字。连错:最长的连续错误行数,以及随机开奖在\n"
      "这么多判定行中出现至少这么长连错的概率;历史结尾处的连错,以及随机开奖使这些行\n"
      "全错的概率。开奖没有记忆:无论当前连错多长,下一期的预测成立的概率都是\n"
      "\"下期命中\"一栏的数字。\n");
  return out;
}

}  // namespace zelkor
