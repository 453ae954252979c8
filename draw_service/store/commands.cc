#include "draw_service/store/commands.h"

#include <cstdio>

#include "runtime/log.h"
#include "runtime/read_file.h"

namespace zelkor::service {
namespace {

std::string DateText(std::chrono::sys_days day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof(text), "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

CommandResult BadLine(int line, const std::string& reason) {
  return {kBadInput, "第" + std::to_string(line) + "行有误,什么也没有存入 (line " +
                         std::to_string(line) + ": " + reason + "; nothing was stored)"};
}

// Offers the draws and tells what came of it, each draw added on a line of
// its own with `list_added`.
CommandResult Store(const DrawStore& store, std::vector<OfferedDraw> offered, bool name_lines,
                    bool list_added) {
  const StoreOutcome outcome = store.Offer(std::move(offered), /*all_or_nothing=*/true);
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
    if (!name_lines) {
      return {kBadInput, "开奖有误,什么也没有存入 (" + row.reason + "; nothing was stored)"};
    }
    return BadLine(row.line, row.reason);
  }
  if (outcome.merge.added.empty()) {
    return {kAdded, "没有新的开奖:每一期都已经有了 (nothing new: every draw was already held)"};
  }
  const std::vector<HistoryDraw>& added = outcome.merge.added;
  const std::string count = GroupedCount(added.size());
  std::string message = "已存入" + count + "期 (added " + count + " draws";
  if (!list_added) {
    return {kAdded, message + ", " + added.front().issue + " to " + added.back().issue + ")"};
  }
  message += "):";
  for (const HistoryDraw& draw : added) {
    message += "\n  " + draw.issue + " " + draw.date + " " + draw.digits;
  }
  return {kAdded, message};
}

}  // namespace

CommandResult AddDraw(const DrawStore& store, const std::string& issue, const std::string& digits,
                      const std::string& date, std::chrono::sys_days today) {
  OfferedDraw offered{{issue, date.empty() ? DateText(today) : date, digits}, 1};
  if (std::string reason = CheckDrawFields(offered.draw); !reason.empty()) {
    return {kBadInput, "开奖有误,什么也没有存入 (" + reason + "; nothing was stored)"};
  }
  return Store(store, {std::move(offered)}, false, true);
}

CommandResult ImportDraws(const DrawStore& store, const std::filesystem::path& file, bool verbose) {
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
  return Store(store, std::move(source.draws), true, verbose);
}

}  // namespace zelkor::service
