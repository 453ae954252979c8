#include "draw_service/store/draw_store.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "draw_service/history/draw_list.h"
#include "draw_service/store/durable_file.h"
#include "runtime/input_limit.h"
#include "runtime/read_file.h"

namespace zelkor::service {
namespace {

// Why storing `own` over `shipped` would make something its readers refuse;
// empty when it would not. The store file is read back whole within
// kMaxInputBytes, the served draw list is read within the same bound.
std::string OverLimit(const std::vector<HistoryDraw>& shipped, const std::vector<HistoryDraw>& own,
                      size_t text_bytes) {
  constexpr char kRefused[] = "; the store and the draws served stay as they were";
  const size_t served = UniteHistories(shipped, own).size();
  if (served > MaxServedDraws()) {
    return "this would make the served draw list " + GroupedCount(served) +
           " draws, more than the " + GroupedCount(MaxServedDraws()) + " that fit in the " +
           std::to_string(kMaxInputBytes >> 20) + " MiB the window and the report read" + kRefused;
  }
  if (text_bytes > kMaxInputBytes) {
    return "this would make the store " + GroupedCount(text_bytes) + " bytes, more than the " +
           std::to_string(kMaxInputBytes >> 20) + " MiB it can be read back in" + kRefused;
  }
  return {};
}

// The file a change to the store replaces: where the store's link points when
// the player made it a link, so that the link stays and its target changes.
std::filesystem::path WrittenFile(const std::filesystem::path& file, std::string& error) {
  std::error_code code;
  if (!std::filesystem::is_symlink(file, code)) return file;
  std::filesystem::path target = std::filesystem::weakly_canonical(file, code);
  if (code) error = "cannot follow the link " + PathUtf8(file) + ": " + code.message();
  return target;
}

}  // namespace

DrawStore::DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder, Log notices)
    : shipped_(std::move(shipped)),
      folder_(std::move(folder)),
      file_(folder_ / kStoreFileName),
      notices_(std::move(notices)) {}

std::vector<HistoryDraw> DrawStore::ReadOwn(std::string& error,
                                            std::vector<UnreadLine>* unread) const {
  error.clear();
  if (unread != nullptr) unread->clear();
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(file_, code);
  if (!std::filesystem::exists(status)) return {};
  // Reading a pipe or a device could wait for ever or never end.
  if (!std::filesystem::is_regular_file(status)) {
    error = PathUtf8(file_) + " is not a regular file; it is left alone";
    return {};
  }
  std::string text;
  if (std::string reason = ReadFileCapped(file_, text); !reason.empty()) {
    error = PathUtf8(file_) + ": " + reason;
    return {};
  }
  StoreReading reading = ReadStoreText(text);
  if (unread != nullptr) {
    *unread = std::move(reading.unread);
  } else if (!reading.unread.empty()) {
    const UnreadLine& first = reading.unread.front();
    error = PathUtf8(file_) + ":" + std::to_string(first.line) + ": " + UnreadLineText(first);
    return {};
  }
  return std::move(reading.draws);
}

namespace {

// The Chinese for a refusal of the draw rules; they give the English.
std::string ArrivalReason(const HistoryDraw& draw, const ArrivalCheck& check) {
  std::string chinese = "第" + draw.issue + "期不符合开奖日程";
  if (!check.missing.empty()) {
    chinese = "第" + draw.issue + "期之前缺了 " + NameIssues(check.missing) + " 期,不能留下空缺";
  } else if (check.refusal.find("after today") != std::string::npos) {
    chinese = "日期 " + draw.date + " 晚于今天(北京时间)";
  } else if (check.refusal.find("previous draw") != std::string::npos) {
    chinese = "日期 " + draw.date + " 不在上一期的日期之后";
  }
  return chinese + " (draw " + draw.issue + ": " + check.refusal + ")";
}

// Checks each offered draw new to `held` against the draw rules, oldest
// first, each against the draws held and those accepted before it: refused
// ones go to `outcome`, the others stay in `offered`.
void KeepToTheRules(std::vector<HistoryDraw> held, std::vector<OfferedDraw>& offered,
                    BeijingTime now, StoreOutcome& outcome) {
  std::stable_sort(offered.begin(), offered.end(), [](const OfferedDraw& a, const OfferedDraw& b) {
    return a.draw.issue < b.draw.issue;
  });
  std::vector<OfferedDraw> kept;
  for (OfferedDraw& offer : offered) {
    const HistoryDraw& draw = offer.draw;
    const auto at = std::lower_bound(
        held.begin(), held.end(), draw.issue,
        [](const HistoryDraw& h, const std::string& issue) { return h.issue < issue; });
    if (at != held.end() && at->issue == draw.issue) {
      kept.push_back(std::move(offer));  // held already: the merge tells same from conflict
      continue;
    }
    // Nothing older than the history's first draw is missing from it.
    if (at == held.begin() && !held.empty()) {
      outcome.merge.refused.push_back({offer.line, "第" + draw.issue + "期早于已有的第一期 " +
                                                       held.front().issue + " (draw " + draw.issue +
                                                       " is before the first draw held, " +
                                                       held.front().issue + ")"});
      continue;
    }
    const ArrivalCheck check = CheckArrival(held, draw, now);
    if (!check.refusal.empty()) {
      outcome.merge.refused.push_back({offer.line, ArrivalReason(draw, check)});
      continue;
    }
    if (!check.warning.empty()) {
      outcome.warnings.push_back("第" + draw.issue + "期的日期比开奖日程晚了很多,请核对 (draw " +
                                 draw.issue + " " + check.warning + ")");
    }
    held.insert(at, draw);
    kept.push_back(std::move(offer));
  }
  offered = std::move(kept);
}

}  // namespace

StoreOutcome DrawStore::Offer(std::vector<OfferedDraw> offered, bool all_or_nothing,
                              BeijingTime now) const {
  StoreOutcome outcome;
  std::error_code code;
  std::filesystem::create_directories(folder_, code);
  if (code) {
    outcome.error = "cannot create " + PathUtf8(folder_) + ": " + code.message();
    return outcome;
  }
  const std::filesystem::path lock_file = folder_ / kStoreLockName;
  const FileLock lock(lock_file, [this, &lock_file] {
    if (notices_) {
      notices_("waiting for the lock file " + PathUtf8(lock_file) +
               ", held by another writer of the store (a stopped add or import?)");
    }
  });
  if (!lock.error().empty()) {
    outcome.error = lock.error();
    return outcome;
  }
  const std::vector<HistoryDraw> own = ReadOwn(outcome.error);
  if (!outcome.error.empty()) return outcome;
  const std::vector<HistoryDraw> held = UniteHistories(shipped_, own);
  KeepToTheRules(held, offered, now, outcome);
  std::vector<RefusedRow> refused = std::move(outcome.merge.refused);
  outcome.merge = MergeDraws(held, std::move(offered));
  if (!outcome.merge.conflict) {
    outcome.merge.refused.insert(outcome.merge.refused.begin(), refused.begin(), refused.end());
  }
  if (all_or_nothing && !outcome.merge.refused.empty()) outcome.merge.added.clear();
  if (outcome.merge.added.empty()) return outcome;
  const std::vector<HistoryDraw> own_after = UniteHistories(own, outcome.merge.added);
  const std::string text = HistoryText(own_after);
  outcome.over_limit = OverLimit(shipped_, own_after, text.size());
  if (!outcome.over_limit.empty()) {
    outcome.merge.added.clear();
    return outcome;
  }
  const std::filesystem::path written = WrittenFile(file_, outcome.error);
  if (outcome.error.empty()) outcome.error = ReplaceFileDurably(written, text);
  // Nothing of a failed write was stored, so nothing counts as added.
  if (!outcome.error.empty()) outcome.merge.added.clear();
  return outcome;
}

DrawStore::Removal DrawStore::Remove(const std::string& issue) const {
  Removal removal;
  const FileLock lock(folder_ / kStoreLockName);
  if (!lock.error().empty()) {
    removal.error = lock.error();
    return removal;
  }
  std::vector<HistoryDraw> own = ReadOwn(removal.error);
  if (!removal.error.empty()) return removal;
  const std::vector<HistoryDraw> held = UniteHistories(shipped_, own);
  const auto shipped = std::find_if(shipped_.begin(), shipped_.end(),
                                    [&issue](const HistoryDraw& d) { return d.issue == issue; });
  const auto mine = std::find_if(own.begin(), own.end(),
                                 [&issue](const HistoryDraw& d) { return d.issue == issue; });
  if (shipped != shipped_.end()) {
    removal.refusal = "第" + issue + "期是程序附带的开奖,不能删去 (draw " + issue +
                      " is of the shipped history, which is never changed)";
  } else if (mine == own.end()) {
    removal.refusal = "没有第" + issue + "期 (no draw " + issue + " is held)";
  } else if (held.back().issue != issue) {
    removal.refusal = "只能删去最新的一期 " + held.back().issue +
                      ",以免留下空缺 (only the newest draw, " + held.back().issue +
                      ", can be removed, so that no hole is left)";
  } else {
    removal.removed = *mine;
    own.erase(mine);
    const std::filesystem::path written = WrittenFile(file_, removal.error);
    if (removal.error.empty()) removal.error = ReplaceFileDurably(written, HistoryText(own));
  }
  return removal;
}

}  // namespace zelkor::service
