#include "draw_service/store/draw_store.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "draw_service/store/durable_file.h"
#include "runtime/read_file.h"

namespace zelkor::service {

DrawStore::DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder)
    : shipped_(std::move(shipped)), folder_(std::move(folder)), file_(folder_ / kStoreFileName) {}

std::vector<HistoryDraw> DrawStore::ReadOwn(std::string& error,
                                            std::vector<UnreadLine>* unread) const {
  error.clear();
  if (unread != nullptr) unread->clear();
  std::error_code code;
  if (!std::filesystem::exists(file_, code)) return {};
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
