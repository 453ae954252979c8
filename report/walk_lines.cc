#include "report/walk_lines.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

namespace zelkor {

Text WalkPage(ReportPage which, int32_t position, const std::vector<HistoryRow>& rows,
              const PageTexts& texts, const IssueNotify& notify, const LineSink& sink) {
  // The walk pairs rows[n - i] (checked) with rows[n + 1 - i] (source) for
  // i = 1..n, oldest first, then picks once more from the newest draw. The
  // verdict comes once per judged line, right after that line's pick.
  AnalysisPage page = AnalysisPageOf(which);
  const size_t n = rows.empty() ? 0 : rows.size() - 1;
  size_t judged = 0;
  Text value_text;
  Text picked;
  if (sink) {
    page.pick = [&value_text, &picked, pick = page.pick](const Text& value) {
      value_text = value;
      picked = pick(value);
      return picked;
    };
  }
  // Notices name the issue of the line being judged.
  const Text* judged_issue = nullptr;
  const Notify tagged = [&notify, &judged_issue](const Text& message) {
    if (notify && judged_issue != nullptr) notify(*judged_issue, message);
  };
  page.verdict = [&, verdict = page.verdict](int32_t at, const Text& pick, const Text& checked,
                                             const Notify&) {
    ++judged;
    const HistoryRow& checked_row = rows[n - judged];
    judged_issue = &checked_row.issue;
    const bool held = verdict(at, pick, checked, tagged);
    if (sink) {
      sink(WalkLine{checked_row.issue, rows[n + 1 - judged].digits, value_text, pick, checked,
                    held});
    }
    return held;
  };
  Text text = BuildPageText(page, rows, texts, position, [](const Text&) {});
  if (sink) {
    // The walk names the next issue after the newest checked draw, and picks
    // from its digits; with fewer than two draws there is none.
    static const Text kEmpty;
    const Text& last_issue = n >= 1 ? rows[0].issue : kEmpty;
    const Text& last_digits = n >= 1 ? rows[0].digits : kEmpty;
    const Text next_issue = ToText(ToInteger(last_issue) + 1.0);
    sink(WalkLine{next_issue, last_digits, value_text, picked, {}, std::nullopt});
  }
  return text;
}

void WalkNextLine(ReportPage page, int32_t position, const std::vector<HistoryRow>& rows,
                  const PageTexts& texts, const LineSink& sink) {
  const std::vector<HistoryRow> newest(
      rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(rows.size(), 2)));
  const LineSink next_only = [&sink](const WalkLine& line) {
    if (!line.held) sink(line);
  };
  [[maybe_unused]] const Text text = WalkPage(page, position, newest, texts, nullptr, next_only);
}

}  // namespace zelkor
