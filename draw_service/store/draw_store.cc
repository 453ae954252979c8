#include "draw_service/store/draw_store.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "draw_service/store/durable_file.h"
#include "runtime/read_file.h"

namespace zelkor::service {
namespace {

// A store a player emptied down to its header holds no draw, which is no
// fault for the store (it is for the shipped history).
bool OnlyHeader(std::string_view text) {
  if (text.starts_with(kHistoryHeader)) text.remove_prefix(kHistoryHeader.size());
  return text.find_first_not_of("\r\n") == std::string_view::npos;
}

}  // namespace

DrawStore::DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder)
    : shipped_(std::move(shipped)), folder_(std::move(folder)), file_(folder_ / kStoreFileName) {}

std::vector<HistoryDraw> DrawStore::ReadOwn(std::string& error) const {
  error.clear();
  std::error_code code;
  if (!std::filesystem::exists(file_, code)) return {};
  std::string text;
  if (std::string reason = ReadFileCapped(file_, text); !reason.empty()) {
    error = PathUtf8(file_) + ": " + reason;
    return {};
  }
  if (OnlyHeader(text)) return {};
  auto parsed = ParseHistory(text);
  if (const auto* bad = std::get_if<HistoryError>(&parsed)) {
    error = PathUtf8(file_) + ":" + std::to_string(bad->line) + ": " + bad->reason;
    return {};
  }
  return std::get<std::vector<HistoryDraw>>(std::move(parsed));
}

StoreOutcome DrawStore::Offer(std::vector<OfferedDraw> offered, bool all_or_nothing) const {
  StoreOutcome outcome;
  std::error_code code;
  std::filesystem::create_directories(folder_, code);
  if (code) {
    outcome.error = "cannot create " + PathUtf8(folder_) + ": " + code.message();
    return outcome;
  }
  const FileLock lock(folder_ / kStoreLockName);
  if (!lock.error().empty()) {
    outcome.error = lock.error();
    return outcome;
  }
  const std::vector<HistoryDraw> own = ReadOwn(outcome.error);
  if (!outcome.error.empty()) return outcome;
  outcome.merge = MergeDraws(UniteHistories(shipped_, own), std::move(offered));
  if (all_or_nothing && !outcome.merge.refused.empty()) outcome.merge.added.clear();
  if (outcome.merge.added.empty()) return outcome;
  outcome.error = ReplaceFileDurably(file_, HistoryText(UniteHistories(own, outcome.merge.added)));
  // Nothing of a failed write was stored, so nothing counts as added.
  if (!outcome.error.empty()) outcome.merge.added.clear();
  return outcome;
}

}  // namespace zelkor::service
