#include "backtest/walk_lines.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

namespace zelkor {

void DropText(std::string_view) {}

Text WalkPage(const AnalysisPage& which, int32_t position, const std::vector<HistoryRow>& rows,
              const PageTexts& texts, const IssueNotify& notify, const LineSink& sink,
              const TextPieceSink& pieces) {
  // The walk pairs rows[n - i] (checked) with rows[n + 1 - i] (source) for
  // i = 1..n, oldest first. The verdict comes once per judged line, so its
  // notices can name that line's issue.
  AnalysisPage page = which;
  const size_t n = rows.empty() ? 0 : rows.size() - 1;
  size_t judged = 0;
  const Text* judged_issue = nullptr;
  const Notify tagged = [&notify, &judged_issue](const Text& message) {
    if (notify && judged_issue != nullptr) notify(*judged_issue, message);
  };
  page.verdict = [&, verdict = page.verdict](int32_t at, const Text& pick, const Text& checked,
                                             const Notify&) {
    ++judged;
    judged_issue = &rows[n - judged].issue;
    return verdict(at, pick, checked, tagged);
  };
  return BuildPageText(
      page, rows, texts, position, [](const Text&) {}, nullptr, sink, pieces);
}

void WalkNextLine(const AnalysisPage& page, int32_t position, const std::vector<HistoryRow>& rows,
                  const PageTexts& texts, const LineSink& sink) {
  const std::vector<HistoryRow> newest(
      rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(rows.size(), 2)));
  const LineSink next_only = [&sink](const WalkLine& line) {
    if (!line.held) sink(line);
  };
  [[maybe_unused]] const Text text = WalkPage(page, position, newest, texts, nullptr, next_only);
}

}  // namespace zelkor
