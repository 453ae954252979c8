#include "draw_service/store/draw_store.h"

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

// A store a player emptied down to its header holds no draw, which is no
// fault for the store (it is for the shipped history).
bool OnlyHeader(std::string_view text) {
  if (text.starts_with(kHistoryHeader)) text.remove_prefix(kHistoryHeader.size());
  return text.find_first_not_of("\r\n") == std::string_view::npos;
}

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

std::vector<HistoryDraw> DrawStore::ReadOwn(std::string& error) const {
  error.clear();
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
  outcome.merge = MergeDraws(UniteHistories(shipped_, own), std::move(offered));
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

}  // namespace zelkor::service
