#include "draw_service/history/merge.h"

#include <algorithm>

namespace zelkor::service {
namespace {

// Issues are seven digits, so byte order is numeric order.
bool IssueBefore(const HistoryDraw& a, const HistoryDraw& b) { return a.issue < b.issue; }

}  // namespace

MergeOutcome MergeDraws(const std::vector<HistoryDraw>& held, std::vector<OfferedDraw> offered) {
  std::stable_sort(offered.begin(), offered.end(), [](const OfferedDraw& a, const OfferedDraw& b) {
    return IssueBefore(a.draw, b.draw);
  });
  MergeOutcome outcome;
  size_t next_held = 0;  // the first held draw not before the offered one
  for (OfferedDraw& offer : offered) {
    const HistoryDraw& draw = offer.draw;
    while (next_held < held.size() && IssueBefore(held[next_held], draw)) ++next_held;
    const HistoryDraw* same = nullptr;
    if (next_held < held.size() && held[next_held].issue == draw.issue) {
      same = &held[next_held];
    } else if (!outcome.added.empty() && outcome.added.back().issue == draw.issue) {
      same = &outcome.added.back();
    }
    if (same != nullptr) {
      if (same->digits == draw.digits) continue;
      outcome.added.clear();
      outcome.refused.clear();
      outcome.conflict = Conflict{draw.issue, same->digits, draw.digits, offer.line};
      return outcome;
    }
    // The draw before is the later of the held one before and the last added.
    const HistoryDraw* before = next_held > 0 ? &held[next_held - 1] : nullptr;
    if (!outcome.added.empty() &&
        (before == nullptr || IssueBefore(*before, outcome.added.back()))) {
      before = &outcome.added.back();
    }
    const HistoryDraw* after = next_held < held.size() ? &held[next_held] : nullptr;
    if (before != nullptr && draw.date < before->date) {
      outcome.refused.push_back({offer.line, "date " + draw.date + " of draw " + draw.issue +
                                                 " is before " + before->date + " of draw " +
                                                 before->issue});
    } else if (after != nullptr && draw.date > after->date) {
      outcome.refused.push_back({offer.line, "date " + draw.date + " of draw " + draw.issue +
                                                 " is after " + after->date + " of draw " +
                                                 after->issue});
    } else {
      outcome.added.push_back(std::move(offer.draw));
    }
  }
  return outcome;
}

std::vector<HistoryDraw> UniteHistories(const std::vector<HistoryDraw>& shipped,
                                        const std::vector<HistoryDraw>& own) {
  std::vector<HistoryDraw> united;
  united.reserve(shipped.size() + own.size());
  auto s = shipped.begin();
  auto o = own.begin();
  while (s != shipped.end() || o != own.end()) {
    if (o == own.end() || (s != shipped.end() && IssueBefore(*s, *o))) {
      united.push_back(*s++);
    } else {
      if (s != shipped.end() && s->issue == o->issue) ++s;
      united.push_back(*o++);
    }
  }
  return united;
}

}  // namespace zelkor::service
