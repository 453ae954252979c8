#include "draw_service/store/commands.h"

#include <cstdio>

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

// Offers the draws and tells what came of it.
CommandResult Store(const DrawStore& store, std::vector<OfferedDraw> offered, bool name_lines) {
  const StoreOutcome outcome = store.Offer(std::move(offered), /*all_or_nothing=*/true);
  if (!outcome.error.empty()) {
    return {kNotStored, "无法存入开奖数据,原有数据不变 (cannot store the draws: " + outcome.error +
                            "; the store is as it was)"};
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
  std::string message = "已存入" + std::to_string(outcome.merge.added.size()) + "期 (added " +
                        std::to_string(outcome.merge.added.size()) + " draws):";
  for (const HistoryDraw& draw : outcome.merge.added) {
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
  return Store(store, {std::move(offered)}, false);
}

CommandResult ImportDraws(const DrawStore& store, const std::filesystem::path& file) {
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
  return Store(store, std::move(source.draws), true);
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
