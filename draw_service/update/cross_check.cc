#include "draw_service/update/cross_check.h"

#include <algorithm>
#include <utility>

namespace zelkor::service {
namespace {

std::string Value(const std::string& source, const HistoryDraw& draw) {
  return source + ": " + draw.digits + " of " + draw.date;
}

bool Same(const HistoryDraw& a, const HistoryDraw& b) {
  return a.digits == b.digits && a.date == b.date;
}

const HistoryDraw* Held(const std::vector<HistoryDraw>& held, const std::string& issue) {
  const auto it = std::lower_bound(
      held.begin(), held.end(), issue,
      [](const HistoryDraw& h, const std::string& wanted) { return h.issue < wanted; });
  return it != held.end() && it->issue == issue ? &*it : nullptr;
}

}  // namespace

RoundVerdict CrossCheck(const std::vector<HistoryDraw>& held,
                        const std::vector<SourceAnswer>& answers, BeijingTime now) {
  RoundVerdict verdict;
  // Every value reported for each issue, with its source, issues rising.
  std::map<std::string, std::vector<std::pair<std::string, HistoryDraw>>> reported;
  for (const SourceAnswer& answer : answers) {
    for (const HistoryDraw& draw : answer.draws) {
      auto& values = reported[draw.issue];
      // A source that lists an issue twice counts once.
      const bool again = std::any_of(values.begin(), values.end(), [&](const auto& v) {
        return v.first == answer.source && Same(v.second, draw);
      });
      if (!again) values.emplace_back(answer.source, draw);
    }
  }

  std::vector<HistoryDraw> current = held;
  std::vector<std::string> disagreed;
  for (const auto& [issue, values] : reported) {
    if (const HistoryDraw* kept = Held(current, issue)) {
      std::vector<std::string>& alike = verdict.agreeing_sources[issue];
      for (const auto& [source, draw] : values) {
        if (Same(draw, *kept)) {
          alike.push_back(source);
        } else {
          verdict.held_differs.push_back({issue, Value("held", *kept), Value(source, draw)});
        }
      }
      continue;
    }
    // Named for the lambda: the clang of the fuzz build cannot capture a
    // structured binding.
    const HistoryDraw& first = values.front().second;
    const auto odd = std::find_if(values.begin(), values.end(),
                                  [&first](const auto& v) { return !Same(v.second, first); });
    if (odd != values.end()) {
      verdict.disagreements.push_back({issue, Value(values.front().first, values.front().second),
                                       Value(odd->first, odd->second)});
      disagreed.push_back(issue);
      continue;
    }
    for (const auto& value : values) verdict.agreeing_sources[issue].push_back(value.first);
    const HistoryDraw& draw = values.front().second;
    if (!verdict.waiting.empty()) {
      verdict.waiting.push_back(issue);
      continue;
    }
    ArrivalCheck check = CheckArrival(current, draw, now);
    if (!check.missing.empty()) {
      verdict.waiting.push_back(issue);
      verdict.missing = std::move(check.missing);
      const bool on_disagreement =
          std::any_of(verdict.missing.begin(), verdict.missing.end(), [&](const std::string& m) {
            return std::find(disagreed.begin(), disagreed.end(), m) != disagreed.end();
          });
      verdict.missing_why = on_disagreement ? "the sources disagree on a draw before it"
                                            : "no source answering gave them";
      continue;
    }
    if (!check.refusal.empty()) {
      verdict.refused.push_back(issue + ": " + check.refusal);
      continue;
    }
    if (!check.warning.empty()) verdict.warnings.push_back(issue + ": " + check.warning);
    const auto at = std::upper_bound(
        current.begin(), current.end(), issue,
        [](const std::string& wanted, const HistoryDraw& h) { return wanted < h.issue; });
    current.insert(at, draw);
    verdict.agreed.push_back(draw);
  }
  return verdict;
}

}  // namespace zelkor::service
