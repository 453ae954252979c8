// The merge rules: what offered draws do to the draws held. Nothing held is
// ever lost or rewritten.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "draw_service/history/draw_source.h"
#include "draw_service/history/history_file.h"

namespace zelkor::service {

// An offered draw whose digits differ from the held draw of its issue.
struct Conflict {
  std::string issue;
  std::string held_digits;
  std::string offered_digits;
  int line = 0;  // of the offered draw
};

// What merging offered draws into held ones comes to.
struct MergeOutcome {
  // Draws the held ones lack, oldest first.
  std::vector<HistoryDraw> added;
  // Draws whose date does not fit between the draws around them.
  std::vector<RefusedRow> refused;
  // The first conflict, if any; then nothing of the offer is to be used and
  // `added` is empty.
  std::optional<Conflict> conflict;
};

// Merges `offered` (any order) into `held` (oldest first, issues rising):
// an issue not held is added when its date fits between the draws before and
// after it (held or added); one held with the same digits changes nothing,
// whatever its date; one held with other digits is a conflict, which voids
// the whole offer. Draws held but not offered stay.
[[nodiscard]] MergeOutcome MergeDraws(const std::vector<HistoryDraw>& held,
                                      std::vector<OfferedDraw> offered);

// The sorted union of two histories (each oldest first): where both hold an
// issue, `own`'s draw is kept.
[[nodiscard]] std::vector<HistoryDraw> UniteHistories(const std::vector<HistoryDraw>& shipped,
                                                      const std::vector<HistoryDraw>& own);

}  // namespace zelkor::service
