#include "draw_service/store/commands.h"

#include <algorithm>
#include <cstdio>

#include "runtime/log.h"
#include "runtime/read_file.h"

namespace zelkor::service {
namespace {

CommandResult BadLine(int line, const std::string& reason) {
  return {kBadInput, "第" + std::to_string(line) + "行有误,什么也没有存入 (line " +
                         std::to_string(line) + ": " + reason + "; nothing was stored)"};
}

// Offers the draws and tells what came of it, each draw added on a line of
// its own with `list_added`.
CommandResult Store(const DrawStore& store, std::vector<OfferedDraw> offered, bool name_lines,
                    bool list_added, BeijingTime now) {
  const StoreOutcome outcome = store.Offer(std::move(offered), /*all_or_nothing=*/true, now);
  if (!outcome.error.empty()) {
    return {kNotStored, "无法存入开奖数据,原有数据不变 (cannot store the draws: " + outcome.error +
                            "; the store is as it was)"};
  }
  if (!outcome.over_limit.empty()) {
    return {kBadInput, "开奖太多,什么也没有存入 (too many draws: " + outcome.over_limit + ")"};
  }
  if (const auto& conflict = outcome.merge.conflict;
      conflict && conflict->offered_before_line > 0) {
    const std::string before = std::to_string(conflict->offered_before_line);
    const std::string line = std::to_string(conflict->line);
    return {kBadInput, "第" + conflict->issue + "期出现两次,号码不同,什么也没有存入 (draw " +
                           conflict->issue + " is given twice: as " + conflict->held_digits +
                           " on line " + before + " and as " + conflict->offered_digits +
                           " on line " + line + "; nothing was stored)"};
  }
  if (const auto& conflict = outcome.merge.conflict) {
    const std::string where = name_lines ? " (line " + std::to_string(conflict->line) + ")" : "";
    return {kConflict, "第" + conflict->issue + "期已有号码 " + conflict->held_digits +
                           ",与给出的 " + conflict->offered_digits + " 不同,什么也没有存入 (draw " +
                           conflict->issue + " is held as " + conflict->held_digits + ", not " +
                           conflict->offered_digits + where + "; nothing was stored)"};
  }
  if (!outcome.merge.refused.empty()) {
    const RefusedRow& row = outcome.merge.refused.front();
    if (!name_lines) return {kBadInput, row.reason + ";什么也没有存入 (nothing was stored)"};
    return BadLine(row.line, row.reason);
  }
  if (outcome.merge.added.empty()) {
    return {kAdded, "没有新的开奖:每一期都已经有了 (nothing new: every draw was already held)"};
  }
  const std::vector<HistoryDraw>& added = outcome.merge.added;
  const std::string count = GroupedCount(added.size());
  std::string message = "已存入" + count + "期 (added " + count + " draws";
  if (list_added) {
    message += "):";
    for (const HistoryDraw& draw : added) {
      message += "\n  " + draw.issue + " " + draw.date + " " + draw.digits;
    }
  } else {
    message += ", " + added.front().issue + " to " + added.back().issue + ")";
  }
  for (const std::string& warning : outcome.warnings) message += "\n  " + warning;
  return {kAdded, message};
}

// The date the schedule gives `issue` after the draw held before it; empty
// when none is held before it.
std::string ScheduledDateFor(const DrawStore& store, const std::string& issue, std::string& error) {
  const std::vector<HistoryDraw> held = UniteHistories(store.shipped(), store.ReadOwn(error));
  const auto after =
      std::lower_bound(held.begin(), held.end(), issue,
                       [](const HistoryDraw& h, const std::string& i) { return h.issue < i; });
  if (!error.empty() || after == held.begin()) return {};
  return DateText(ScheduledDate(*(after - 1), issue));
}

}  // namespace

CommandResult AddDraw(const DrawStore& store, const std::string& issue, const std::string& digits,
                      const std::string& date, BeijingTime now) {
  OfferedDraw offered{{issue, date, digits}, 1};
  std::string told;
  if (date.empty()) {
    // The draw's own date, as the schedule gives it after the draw before,
    // whatever day the player adds it on.
    std::string error;
    offered.draw.date = ScheduledDateFor(store, issue, error);
    if (!error.empty()) {
      return {kNotStored, "无法存入开奖数据,原有数据不变 (cannot store the draws: " + error +
                              "; the store is as it was)"};
    }
    if (offered.draw.date.empty())
      offered.draw.date = DateText(std::chrono::floor<std::chrono::days>(now));
    told = "\n  日期按开奖日程取 " + offered.draw.date + " (date " + offered.draw.date +
           " taken from the schedule)";
  }
  if (std::string reason = CheckDrawFields(offered.draw); !reason.empty()) {
    return {kBadInput, "开奖有误,什么也没有存入 (" + reason + "; nothing was stored)"};
  }
  CommandResult result = Store(store, {std::move(offered)}, false, true, now);
  if (result.exit_code == kAdded) result.message += told;
  return result;
}

CommandResult RemoveDraw(const DrawStore& store, const std::string& issue) {
  const DrawStore::Removal removal = store.Remove(issue);
  if (!removal.error.empty()) {
    return {kNotStored, "无法删去开奖,原有数据不变 (cannot remove the draw: " + removal.error +
                            "; the store is as it was)"};
  }
  if (!removal.refusal.empty()) return {kBadInput, removal.refusal + ";什么也没有删去"};
  const HistoryDraw& draw = removal.removed;
  return {kAdded, "已删去第" + draw.issue + "期 (removed draw " + draw.issue + "):\n  " +
                      draw.issue + " " + draw.date + " " + draw.digits};
}

CommandResult ImportDraws(const DrawStore& store, const std::filesystem::path& file, bool verbose,
                          BeijingTime now) {
  const std::u8string u8name = file.u8string();
  const std::string name(u8name.begin(), u8name.end());
  std::string text;
  if (std::string reason = ReadFileCapped(file, text); !reason.empty()) {
    return {kBadInput, "无法读取 " + name + " (" + name + " " + reason + ")"};
  }
  DrawSource source = ReadDrawSource(text);
  if (!source.error.empty()) {
    return {kBadInput,
            name + " 不是开奖列表,也不是开奖历史 CSV (" + name + ": " + source.error + ")"};
  }
  if (!source.refused.empty()) {
    return BadLine(source.refused.front().line, name + ": " + source.refused.front().reason);
  }
  return Store(store, std::move(source.draws), true, verbose, now);
}

CommandResult CheckStore(const DrawStore& store) {
  const std::string file = PathUtf8(store.file());
  std::string error;
  std::vector<UnreadLine> unread;
  const std::vector<HistoryDraw> own = store.ReadOwn(error, &unread);
  if (!error.empty()) {
    return {kNotStored, "无法读取开奖文件 (cannot read the store: " + error + ")"};
  }
  if (unread.empty()) {
    return {kAdded, "开奖文件 " + file + " 没有问题,共" + std::to_string(own.size()) +
                        "期 (the store is fine: " + std::to_string(own.size()) + " draws)"};
  }
  std::string message = "开奖文件 " + file + " 中有" + std::to_string(unread.size()) +
                        "行无法读取,其余" + std::to_string(own.size()) + "期照常使用 (" +
                        std::to_string(unread.size()) + " lines of the store cannot be read; " +
                        std::to_string(own.size()) + " draws can):";
  for (const UnreadLine& line : unread) message += "\n  " + UnreadLineText(line);
  return {kBadInput, message};
}

}  // namespace zelkor::service
