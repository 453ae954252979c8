#include "draw_service/serve/start_page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "analysis/analysis.h"
#include "backtest/chart.h"
#include "backtest/language.h"
#include "backtest/summary.h"
#include "backtest/summary_wording.h"
#include "draw_service/history/freshness.h"
#include "draw_service/history/schedule.h"
#include "draw_service/store/draw_store.h"
#include "runtime/format.h"
#include "runtime/gbk.h"
#include "runtime/markup.h"
#include "ui/page_texts.h"

namespace zelkor::service {
namespace {

// A text the pages wrote (GBK) as page text.
std::string FromPage(std::string_view gbk) { return MarkupEscaped(GbkToUtf8(gbk)); }

// Readable at 800 pixels as at 1280: the content keeps to one column, wide
// tables scroll on their own and the chart scales with its viewBox.
constexpr std::string_view kStyle =
    "body{font-family:'Noto Sans CJK SC','Microsoft YaHei',sans-serif;font-size:15px;"
    "line-height:1.5;color:#222;background:#f6f6f4;margin:0}"
    "main{max-width:1000px;margin:0 auto;padding:8px 16px 24px}"
    "h1{font-size:22px;margin:6px 0 4px}"
    "h2{font-size:18px;margin:22px 0 8px;padding-bottom:2px;border-bottom:2px solid #c9c9c2}"
    "p{margin:6px 0}"
    ".newest{display:flex;flex-wrap:wrap;align-items:center;gap:6px 14px;background:#fff;"
    "border:1px solid #ddd;border-radius:6px;padding:8px 14px}"
    ".ball{display:inline-block;width:1.9em;height:1.9em;line-height:1.9em;border-radius:50%;"
    "background:#c8102e;color:#fff;text-align:center;font-weight:bold;font-size:20px;margin-right:"
    "4px}"
    ".stale{color:#a40000}"
    ".scroll{overflow-x:auto}"
    "table{border-collapse:collapse;background:#fff;font-variant-numeric:tabular-nums}"
    "th,td{padding:3px 6px;border-bottom:1px solid #e4e4e0;text-align:right;white-space:nowrap}"
    "th{background:#ecece6;font-weight:600}"
    "th:first-child,td:first-child{text-align:left}"
    "td.meaning{text-align:left;color:#555}th.meaning{text-align:left}th[colspan]{text-align:"
    "center}"
    "td.pick{font-size:18px;font-weight:bold;color:#1f5fbf;text-align:center}"
    "small{color:#666}"
    "ol.draws{list-style:none;padding:0;margin:0;display:grid;"
    "grid-template-columns:repeat(auto-fill,minmax(10.5em,1fr));gap:4px}"
    "ol.draws li{background:#fff;border:1px solid #e0e0da;border-radius:4px;padding:2px 8px}"
    "ol.draws .digits{font-weight:bold;font-size:17px;letter-spacing:2px;margin:0 6px}"
    "ol.draws .date{color:#777;font-size:13px}"
    "ul.verdicts{padding-left:1.2em}"
    "svg{max-width:100%;height:auto;display:block;border:1px solid #ddd}"
    ".plain{background:#fff4df;border-left:5px solid #e69500;padding:10px 14px;margin-top:22px}"
    // Paths and commands break anywhere rather than widen a phone's page; the
    // chart keeps a width at which its 12-unit text stays above 11 pixels,
    // and scrolls inside its box on a narrower screen.
    "#own form{margin:6px 0}#own input{font-size:15px}"
    "code{overflow-wrap:anywhere;word-break:break-all}"
    ".chartbox{overflow-x:auto}.chartbox svg{min-width:880px}"
    ".note{font-size:14px;color:#444}";

// The end of every start page: responsible play, and the way back to the
// window once it was closed.
constexpr std::string_view kClosing =
    "<p class=\"note\">彩票开奖完全随机,请理性购彩;未成年人不得购买彩票。"
    "关掉的 Zelkor3D 窗口可以从开始菜单(应用程序菜单)或桌面上的 Zelkor3D 图标重新打开。</p>\n"
    "</main></body>\n</html>\n";

// One page/position of the backtest, with its walk's outcomes.
struct JudgedPage {
  const AnalysisPage* page = &KillDigitPage();
  int32_t position = 0;
  std::string label;  // UTF-8, Chinese
  PageOutcomes outcomes;
  PageSummary summary;
};

// The attributes that let a reader find a page's row: data-page, data-position.
std::string PageAttributes(const JudgedPage& judged) {
  std::string attributes = " data-page=\"" + std::string(judged.page->option_name) + "\"";
  if (judged.page->HasKillPosition()) {
    attributes += " data-position=\"" + std::to_string(judged.position) + "\"";
  }
  return attributes;
}

std::string Cell(std::string_view field, const std::string& text) {
  return "<td data-field=\"" + std::string(field) + "\">" + MarkupEscaped(text) + "</td>";
}

// The verdict of a page in words a player follows; the z it rests on is
// explained under the table.
std::string PlayerVerdict(const PageSummary& summary) {
  if (summary.judged == 0) return "还没有可以判定的期数。";
  const std::optional<double> z = ZScore(summary);
  if (!z) return "这个预测对任何开奖都同样成立或同样不成立,无从与随机比较。";
  const double gap = 100.0 * (static_cast<double>(summary.held) - summary.chance_held) /
                     static_cast<double>(summary.judged);
  // Short histories are judged by the exact chance, which the z threshold
  // would misstate.
  if (const std::optional<double> tail = TailChance(summary)) {
    const std::string chance = RunChance(*tail);
    if (BeyondChance(summary)) {
      return Format(
          "高于随机:命中率比随机基线高 %.1f 个百分点;随机开奖命中这么多期的概率只有 %s,"
          "不超过 %.1f%% 的门槛,不太像是运气。",
          gap, chance.c_str(), 100.0 * kBeyondChanceTail);
    }
    if (WorseThanChance(summary)) {
      return Format("低于随机:命中率比随机基线低 %.1f 个百分点;随机开奖命中这么少的概率只有 %s。",
                    -gap, chance.c_str());
    }
    return Format(
        "与随机无异:命中率与随机基线相差 %+.1f 个百分点;随机开奖出现这样的差距的概率是 %s,"
        "在随机波动之内(检验期数少,按精确概率判断,不超过 %.1f%% 才算胜过随机)。",
        gap, chance.c_str(), 100.0 * kBeyondChanceTail);
  }
  if (BeyondChance(summary)) {
    return Format(
        "高于随机:命中率比随机基线高 %.1f 个百分点,偏差 z = %+.2f,超过 %.2f "
        "的门槛,不太像是运气。",
        gap, *z, kBeyondChanceZ);
  }
  if (WorseThanChance(summary)) {
    return Format("低于随机:命中率比随机基线低 %.1f 个百分点,偏差 z = %+.2f,超出了随机波动。", -gap,
                  *z);
  }
  return Format(
      "与随机无异:命中率与随机基线相差 %+.1f 个百分点,偏差 z = %+.2f,在随机波动之内"
      "(要达到 %.2f 才算胜过随机)。",
      gap, *z, kBeyondChanceZ);
}

void AppendFreshness(std::string& page, const HistoryDraw& newest, std::chrono::sys_days today,
                     const PlayerPlaces& places) {
  page += "<section id=\"newest\"><h2>最新开奖</h2>\n<div class=\"newest";
  if (DaysOld(newest, today) > kStaleAfterDays) page += " stale";
  page += "\"><span>第 <strong data-field=\"issue\">" + MarkupEscaped(newest.issue) +
          "</strong> 期</span><span data-field=\"digits\">";
  for (const char digit : newest.digits) {
    page += "<span class=\"ball\">" + MarkupEscaped(std::string_view(&digit, 1)) + "</span>";
  }
  // The date and the age, and what to do when the draws are old.
  page += "</span></div>\n" + FreshnessPageText(newest, today);
  if (DaysOld(newest, today) > kStaleAfterDays) page += CatchingUpAdvice(places);
  page += "</section>\n";
}

// Today's date, and when the next issue is drawn while the draws are current
// (draws are made every evening at 21:15).
void AppendToday(std::string& page, const HistoryDraw& newest, const Text& next_issue,
                 std::chrono::sys_days today) {
  const auto date = [](std::chrono::sys_days day) {
    const std::chrono::year_month_day ymd{day};
    return Format("%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  };
  page += "<p>今天是 <span data-field=\"today\">" + date(today) + "</span>。";
  const int age = DaysOld(newest, today);
  if (age >= 0 && age <= 1 && !next_issue.empty()) {
    const std::chrono::sys_days next = today - std::chrono::days{age} + std::chrono::days{1};
    page += "第 " + FromPage(next_issue) + " 期 " + date(next) + " 21:15 开奖。";
  }
  page += "</p>\n";
}

// What a pick of the page claims, for a player who has not used the window:
// the registry's words, after the kill position's place on a page that has one.
std::string PickMeaning(const AnalysisPage& page, int32_t position) {
  static constexpr std::array<std::string_view, 4> kPlaces{"", "百位", "十位", "个位"};
  const std::string_view place =
      page.HasKillPosition() && position >= 1 && position <= 3 ? kPlaces[position] : "";
  return std::string(place) + std::string(page.pick_meaning);
}

void AppendNextPicks(std::string& page, const std::vector<JudgedPage>& judged) {
  const PageOutcomes& first = judged.front().outcomes;
  page += "<section id=\"next\"><h2>第 <span data-field=\"next_issue\">" +
          FromPage(first.next_issue) + "</span> 期的预测</h2>\n<p>";
  // A pick needs draws before it; with too few there is nothing to show.
  if (!first.next_source.empty()) {
    page += "由最新一期的开奖号 <strong>" + FromPage(first.next_source) + "</strong> 算出。";
  }
  page +=
      "“随机命中率”是同样的预测对 000-999 中随机一个开奖成立的概率。</p>\n"
      "<div class=\"scroll\"><table>\n<tr><th>方法</th><th>预测</th><th "
      "class=\"meaning\">含义</th><th>随机命中率</th></tr>\n";
  for (const JudgedPage& one : judged) {
    const bool none = one.outcomes.next_pick.empty();
    page += "<tr" + PageAttributes(one) + "><td>" + MarkupEscaped(one.label) +
            "</td><td class=\"pick\" data-field=\"pick\">" +
            (none ? std::string("—") : FromPage(one.outcomes.next_pick)) +
            "</td><td class=\"meaning\">" +
            MarkupEscaped(none ? "开奖期数太少,还没有预测" : PickMeaning(*one.page, one.position)) +
            "</td>" +
            Cell("next_hold_chance", none ? "—" : RunChance(one.outcomes.next_hold_chance)) +
            "</tr>\n";
  }
  page +=
      "</table></div>\n<p><strong>这些预测不能胜过随机:</strong>每项预测命中的概率就是"
      "“随机命中率”一栏的数字,与随手选号一样(回测见<a href=\"#statement\">页尾</a>)。</p>\n"
      "<p class=\"note\">彩票开奖完全随机,请理性购彩;未成年人不得购买彩票。</p></section>\n";
}

void AppendRecentDraws(std::string& page, const std::vector<HistoryDraw>& draws) {
  const size_t shown = std::min(draws.size(), kStartPageRecentDraws);
  page += "<section id=\"recent\"><h2>最近 " + std::to_string(shown) +
          " 期开奖</h2>\n<ol class=\"draws\">\n";
  for (size_t i = 0; i < shown; ++i) {
    const HistoryDraw& draw = draws[draws.size() - 1 - i];
    // The date without its year, which the issue already tells.
    const std::string_view day =
        std::string_view(draw.date).substr(std::min<size_t>(5, draw.date.size()));
    page += "<li><span class=\"issue\">" + MarkupEscaped(draw.issue) +
            "</span><span class=\"digits\">" + MarkupEscaped(draw.digits) +
            "</span><span class=\"date\">" + MarkupEscaped(day) + "</span></li>\n";
  }
  page += "</ol></section>\n";
}

void AppendBacktest(std::string& page, const std::vector<JudgedPage>& judged, size_t draw_count) {
  page +=
      "<section id=\"backtest\"><h2>回测:预测过去命中了多少</h2>\n<p>把每种方法的预测放到全部 " +
      std::to_string(draw_count) +
      " 期历史上逐期检验:用上一期的开奖号算出预测,再看下一期是否命中。"
      "“随机基线”是同样的预测对随机开奖的命中率,逐一试过 000-999 全部 1000 个开奖得出。</p>\n"
      "<div class=\"scroll\"><table>\n"
      "<tr><th rowspan=\"2\">方法</th><th colspan=\"4\">全部</th><th colspan=\"2\">最近 " +
      std::to_string(kRecentWindows[0]) + " 期</th><th colspan=\"2\">最近 " +
      std::to_string(kRecentWindows[1]) +
      " 期</th><th colspan=\"2\">连错(随机出现的概率)</th></tr>\n"
      "<tr><th>检验期数</th><th>命中</th><th>命中率</th><th>随机基线</th><th>命中率</th>"
      "<th>随机基线</th><th>命中率</th><th>随机基线</th><th>最长</th><th>当前</th></tr>\n";
  const std::array<std::string, kRecentWindows.size()> window_names{
      "last_" + std::to_string(kRecentWindows[0]), "last_" + std::to_string(kRecentWindows[1])};
  for (const JudgedPage& one : judged) {
    const PageSummary& s = one.summary;
    page += "<tr" + PageAttributes(one) + "><td>" + MarkupEscaped(one.label) + "</td>" +
            Cell("all_judged", std::to_string(s.judged)) +
            Cell("all_held", std::to_string(s.held)) +
            Cell("all_hit_rate", RatePercent(s.held, s.judged)) +
            Cell("all_chance", ChancePercent(s.chance_held, s.judged));
    for (size_t w = 0; w < kRecentWindows.size(); ++w) {
      page +=
          Cell(window_names[w] + "_hit_rate", RatePercent(s.recent[w].held, s.recent[w].judged)) +
          Cell(window_names[w] + "_chance",
               ChancePercent(s.recent[w].chance_held, s.recent[w].judged));
    }
    page += "<td><span data-field=\"longest_miss_run\">" + std::to_string(s.longest_miss_run) +
            "</span> <small>(<span data-field=\"longest_run_chance\">" +
            MarkupEscaped(RunChance(s.longest_run_chance)) + "</span>)</small></td>";
    page += "<td><span data-field=\"current_miss_run\">" + std::to_string(s.current_miss_run) +
            "</span> <small>(<span data-field=\"current_run_chance\">" +
            // No run going: its chance would read as a certainty of something.
            MarkupEscaped(s.current_miss_run > 0 ? RunChance(s.current_run_chance) : "—") +
            "</span>)</small></td></tr>\n";
  }
  page += "</table></div>\n<ul class=\"verdicts\">\n";
  for (const JudgedPage& one : judged) {
    page += "<li" + PageAttributes(one) + "><strong>" + MarkupEscaped(one.label) +
            "</strong>:<span data-field=\"verdict\">" + MarkupEscaped(PlayerVerdict(one.summary)) +
            "</span></li>\n";
  }
  page += Format(
      "</ul>\n<p><small>偏差 z:命中期数与随机应命中的期数之差,相当于几个标准差。"
      "随机开奖本身就会让命中率上下波动,|z| 小于 2 是常有的事。%s种方法同时检验,"
      "所以 |z| 达到 %.2f 才算超出随机波动;检验期数不超过 %lld 时改按精确概率判断,"
      "随机开奖出现这样的差距的概率不超过 %.1f%% 才算。最长连错:连续不中的最长期数,括号里是随机开奖"
      "在同样多的期数里出现至少这么长连错的概率;当前连错:历史结尾处连续不中的期数,"
      "括号里是随机开奖让这几期全都不中的概率。开奖没有记忆,连错再长,下一期命中的概率"
      "也还是上面“随机命中率”一栏的数字。</small></p>\n</section>\n",
      CountInWords(kTestedPages, HelpLanguage::kChinese).c_str(), kBeyondChanceZ,
      static_cast<long long>(kExactTestLines), 100.0 * kBeyondChanceTail);
}

void AppendChart(std::string& page, const std::vector<JudgedPage>& judged,
                 const std::vector<HistoryRow>& rows) {
  // The panels `zelkor3d-report --chart` draws by default: the kill digit at
  // its first position, the banker digits and the kill spans.
  std::vector<ChartSeries> series;
  std::string shown;
  for (const JudgedPage& one : judged) {
    if (!one.page->HasKillPosition() || one.position == 1) {
      series.push_back({one.label, one.outcomes.lines});
      shown += (shown.empty() ? "" : "、") + MarkupEscaped(one.label);
    }
  }
  // The caption tells what a point is as the chart's title does: the last
  // window of judged lines, or all of them while there are fewer.
  const size_t judged_lines = judged.front().outcomes.lines.size();
  const std::string point =
      judged_lines >= static_cast<size_t>(kDefaultChartWindow)
          ? "每点为截至该期的前 " + std::to_string(kDefaultChartWindow) + " 期的命中率"
          : "每点为截至该期的全部已检验期的命中率(共 " + std::to_string(judged_lines) +
                " 期,不足 " + std::to_string(kDefaultChartWindow) + " 期)";
  // Judged line i checks rows[n - 1 - i], n = rows.size() - 1.
  std::string svg = BuildChartSvg(
      series, [&rows](size_t i) { return GbkToUtf8(rows[rows.size() - 2 - i].issue); },
      kDefaultChartWindow, HelpLanguage::kChinese);
  // Inline in HTML the SVG needs no XML declaration.
  if (svg.starts_with("<?xml")) svg.erase(0, svg.find('\n') + 1);
  page += "<section id=\"chart\"><h2>命中率走势</h2>\n<p>图中是" + shown + "。蓝线上" + point +
          ",灰色虚线是同样预测的随机基线,阴影是随机开奖 100 次里有 95 "
          "次会落在其中的范围。蓝线在阴影里进进出出,正是随机的样子。</p>\n<div "
          "class=\"chartbox\">" +
          svg + "</div></section>\n";
}

void AppendPlainStatement(std::string& page, const std::vector<JudgedPage>& judged,
                          size_t draw_count) {
  const JudgedPage* furthest = nullptr;
  std::vector<const JudgedPage*> beyond;
  for (const JudgedPage& one : judged) {
    const std::optional<double> z = ZScore(one.summary);
    if (!z) continue;
    if (furthest == nullptr || *z > *ZScore(furthest->summary)) furthest = &one;
    if (BeyondChance(one.summary)) beyond.push_back(&one);
  }
  page += "<section id=\"statement\" class=\"plain\">";
  if (furthest == nullptr) {
    page +=
        "<p><strong>这些预测只是由开奖号码算出的数字,不能提高中奖的机会。</strong>"
        "开奖还太少,回测无从判定。</p>";
  } else if (beyond.empty()) {
    page += Format(
        "<p><strong>这些预测不能胜过随机。</strong>在 %zu 期的回测里,%zu "
        "项预测没有一项的命中率超出随机波动:离超出随机最近的是%s,偏差 z = %+.2f,低于 %.2f "
        "的门槛。下一期每项预测命中的概率,就是上面“随机命中率”一栏的数字,与随手选号一样。</p>",
        draw_count, judged.size(), MarkupEscaped(furthest->label).c_str(),
        *ZScore(furthest->summary), kBeyondChanceZ);
  } else {
    std::string names;
    for (const JudgedPage* one : beyond) {
      names += (names.empty() ? "" : "、") + MarkupEscaped(one->label) +
               Format("(z = %+.2f)", *ZScore(one->summary));
    }
    page += Format(
        "<p><strong>回测中%s的命中率超出了随机波动。</strong>这只说明过去的 %zu "
        "期:多项检验同时进行,偶尔会有一项碰巧超出。开奖没有记忆,下一期每项预测命中的概率,"
        "仍是上面“随机命中率”一栏的数字,与随手选号一样。</p>",
        names.c_str(), draw_count);
  }
  page += "</section>\n";
}

}  // namespace

std::string StartPage(const std::vector<HistoryDraw>& draws, std::chrono::sys_days today,
                      std::string_view sources_section, const OwnDrawsPanel& own) {
  std::string page =
      "<!DOCTYPE html>\n"
      "<html lang=\"zh-CN\">\n"
      "<head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Zelkor3D 福彩3D分析</title>\n<style>";
  page.append(kStyle);
  page += "</style></head>\n<body><main>\n<h1>Zelkor3D 福彩3D分析</h1>\n";
  AppendUnreadLines(page, own);
  if (draws.empty()) {
    page +=
        "<p>开奖数据服务还没有任何开奖。</p>\n"
        "<section id=\"statement\" class=\"plain\"><p><strong>各种预测只是由开奖号码算出的数字,"
        "不能提高中奖的机会。</strong></p></section>\n";
    page += kClosing;
    return page;
  }
  // The pages walk the history newest first, as the window lists it.
  std::vector<HistoryRow> rows;
  rows.reserve(draws.size());
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
    rows.push_back(HistoryRow{Text(it->issue), Text(it->digits)});
  }
  const PageTexts& texts = InitialPageTexts();
  std::vector<JudgedPage> judged;
  for (const auto& [which, position] : TestedPages()) {
    JudgedPage one;
    one.page = which;
    one.position = position;
    one.label = PageLabel(*which, position, HelpLanguage::kChinese);
    one.outcomes = WalkOutcomes(*which, position, rows, texts);
    one.summary =
        SummarizeOutcomes(*which, position, one.outcomes.lines, one.outcomes.next_hold_chance);
    judged.push_back(std::move(one));
  }
  page +=
      Format("<p>共 %zu 期开奖(%s 期至 %s 期)。</p>\n", draws.size(),
             MarkupEscaped(draws.front().issue).c_str(), MarkupEscaped(draws.back().issue).c_str());
  AppendToday(page, draws.back(), judged.front().outcomes.next_issue, today);
  AppendFreshness(page, draws.back(), today, own.places);
  page.append(sources_section);
  AppendOwnDraws(page, draws.back(), own);
  AppendNextPicks(page, judged);
  AppendRecentDraws(page, draws);
  AppendBacktest(page, judged, draws.size());
  AppendChart(page, judged, rows);
  AppendPlainStatement(page, judged, draws.size());
  page += kClosing;
  return page;
}

}  // namespace zelkor::service
