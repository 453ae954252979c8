#include "draw_service/update/source_report.h"

#include <algorithm>
#include <cstdio>

#include "runtime/markup.h"

namespace zelkor::service {
namespace {

bool AnySourceAnswered(const SourcesReport& report) {
  return std::any_of(report.sources.begin(), report.sources.end(),
                     [](const SourceStatus& s) { return !s.asked.empty() && s.failure.empty(); });
}

// Why the draws the schedule expects are not held, in English for the log
// and in Chinese for the page.
std::pair<std::string, std::string> WhyMissing(const SourcesReport& report) {
  const RoundVerdict& verdict = report.verdict;
  if (!verdict.disagreements.empty()) {
    const std::string issue = verdict.disagreements.front().issue;
    return {"the sources disagree on " + issue, "各来源对第 " + issue + " 期说法不一"};
  }
  if (!verdict.waiting.empty()) {
    return {"draws wait behind missing issues " + NameIssues(verdict.missing),
            "缺少第 " + NameIssues(verdict.missing) + " 期,之后的开奖暂不收录"};
  }
  if (report.sources.empty()) {
    return {"no source is asked (" + report.none_because + ")",
            "没有开奖来源(" + report.none_because + ")"};
  }
  if (!AnySourceAnswered(report)) {
    return {"no source could be reached", "所有开奖来源都无法连接"};
  }
  return {"no source has them yet", "各来源尚未公布"};
}

}  // namespace

std::string MinuteText(BeijingTime time) {
  const auto day = std::chrono::floor<std::chrono::days>(time);
  const auto minutes = std::chrono::duration_cast<std::chrono::minutes>(time - day).count();
  char text[8];
  std::snprintf(text, sizeof(text), "%02d:%02d", static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  return DateText(day) + " " + text;
}

std::string ScheduleFreshness(const HistoryDraw& newest, BeijingTime now,
                              const SourcesReport& report) {
  const std::vector<std::string> missing = ExpectedSince(newest, now);
  if (missing.empty()) return "up to date: newest draw " + newest.issue + " of " + newest.date;
  return std::to_string(missing.size()) + (missing.size() == 1 ? " draw" : " draws") +
         " missing (" + NameIssues(missing) + ") after " + newest.issue + " of " + newest.date +
         ": " + WhyMissing(report).first;
}

std::string SourcesSection(const HistoryDraw& newest, BeijingTime now,
                           const SourcesReport& report) {
  std::string html = "<section id=\"sources\"><h2>开奖来源</h2>\n<p data-field=\"schedule\">";
  const std::vector<std::string> missing = ExpectedSince(newest, now);
  if (missing.empty()) {
    html += "开奖数据已是最新(第 " + MarkupEscaped(newest.issue) + " 期)。";
  } else {
    html += "按开奖日程缺少 " + std::to_string(missing.size()) + " 期(" +
            MarkupEscaped(NameIssues(missing)) + "):" + MarkupEscaped(WhyMissing(report).second) +
            "。";
  }
  html += "</p>\n";
  const RoundVerdict& verdict = report.verdict;
  for (const Disagreement& d : verdict.disagreements) {
    html += "<p class=\"disagree\">第 " + MarkupEscaped(d.issue) + " 期各来源说法不一(" +
            MarkupEscaped(d.first) + ";" + MarkupEscaped(d.second) + "),未收录。</p>\n";
  }
  if (!verdict.agreeing_sources.empty()) {
    html += "<p>最近各期有几个来源一致:";
    size_t shown = 0;
    for (auto it = verdict.agreeing_sources.rbegin();
         it != verdict.agreeing_sources.rend() && shown < 5; ++it, ++shown) {
      html += (shown > 0 ? ",第 " : "第 ") + MarkupEscaped(it->first) + " 期 " +
              std::to_string(it->second.size()) + " 个";
    }
    html += "。</p>\n";
  }
  if (report.sources.empty()) {
    html += "<p>没有询问任何开奖来源:" + MarkupEscaped(report.none_because) + "。</p>\n";
  } else {
    html += "<table class=\"sources\"><tr><th>来源</th><th>上次询问</th><th>结果</th></tr>\n";
    for (const SourceStatus& s : report.sources) {
      std::string result;
      if (s.asked.empty()) {
        result = "尚未询问";
      } else if (!s.failure.empty()) {
        result = "失败:" + MarkupEscaped(s.failure);
      } else {
        result = "最新第 " + MarkupEscaped(s.newest) + " 期";
      }
      for (const std::string& issue : s.disagreed) {
        result += ";第 " + MarkupEscaped(issue) + " 期与其他来源不一致";
      }
      html += "<tr><td>" + MarkupEscaped(s.name) + "</td><td>" + MarkupEscaped(s.asked) +
              "</td><td style=\"text-align:left\">" + result + "</td></tr>\n";
    }
    html += "</table>\n";
  }
  return html + "</section>\n";
}

}  // namespace zelkor::service
