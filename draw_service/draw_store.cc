#include "draw_service/draw_store.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "draw_service/draw_service.h"
#include "draw_service/durable_file.h"
#include "runtime/program_io.h"

namespace zelkor::service {
namespace {

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

// A store a player emptied down to its header holds no draw, which is no
// fault for the store (it is for the shipped history).
bool OnlyHeader(std::string_view text) {
  if (text.starts_with(kHistoryHeader)) text.remove_prefix(kHistoryHeader.size());
  return text.find_first_not_of("\r\n") == std::string_view::npos;
}

}  // namespace

std::string ReadFileCapped(const std::filesystem::path& path, std::string& text) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(Utf8(path)),
                                                             &std::fclose);
  if (!file) return "cannot be opened";
  text.clear();
  char buffer[1 << 16];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file.get())) > 0) {
    if (text.size() + count > kMaxReadBytes) return "is larger than 64 MiB";
    text.append(buffer, count);
  }
  if (std::ferror(file.get())) return "cannot be read";
  return {};
}

DrawStore::DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder)
    : shipped_(std::move(shipped)), folder_(std::move(folder)), file_(folder_ / kStoreFileName) {}

std::vector<HistoryDraw> DrawStore::ReadOwn(std::string& error) const {
  error.clear();
  std::error_code code;
  if (!std::filesystem::exists(file_, code)) return {};
  std::string text;
  if (std::string reason = ReadFileCapped(file_, text); !reason.empty()) {
    error = Utf8(file_) + ": " + reason;
    return {};
  }
  if (OnlyHeader(text)) return {};
  auto parsed = ParseHistory(text);
  if (const auto* bad = std::get_if<HistoryError>(&parsed)) {
    error = Utf8(file_) + ":" + std::to_string(bad->line) + ": " + bad->reason;
    return {};
  }
  return std::get<std::vector<HistoryDraw>>(std::move(parsed));
}

StoreOutcome DrawStore::Offer(std::vector<OfferedDraw> offered, bool all_or_nothing) const {
  StoreOutcome outcome;
  std::error_code code;
  std::filesystem::create_directories(folder_, code);
  if (code) {
    outcome.error = "cannot create " + Utf8(folder_) + ": " + code.message();
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

ServedHistory::ServedHistory(const DrawStore& store, DocumentHolder& holder, size_t latest, Log log)
    : store_(store), holder_(holder), latest_(latest), log_(std::move(log)) {}

ServedHistory::Stamp ServedHistory::Look() const {
  std::error_code code;
  Stamp stamp;
  stamp.time = std::filesystem::last_write_time(store_.file(), code);
  if (code) return stamp;
  stamp.size = std::filesystem::file_size(store_.file(), code);
  stamp.exists = !code;
  return stamp;
}

void ServedHistory::Refresh() {
  const Stamp stamp = Look();
  std::lock_guard lock(mutex_);
  if (published_ && stamp == seen_) return;
  seen_ = stamp;
  std::string error;
  const std::vector<HistoryDraw> own = store_.ReadOwn(error);
  if (!error.empty()) {
    if (log_) log_("cannot use the store: " + error + "; serving the draws held before");
    if (published_) return;
  }
  std::vector<HistoryDraw> served = UniteHistories(store_.shipped(), own);
  if (latest_ > 0) served = Latest(std::move(served), latest_);
  holder_.Publish(served);
  served_ = std::move(served);
  published_ = true;
}

std::vector<HistoryDraw> ServedHistory::Served() const {
  std::lock_guard lock(mutex_);
  return served_;
}

}  // namespace zelkor::service
