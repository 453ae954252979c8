// The player's own draws: a history file of their own, in the format of the
// shipped one, which the service serves merged with the shipped history. The
// shipped file is never written; every change to the store replaces it in
// one step, under a lock that keeps services and commands from interleaving.
#pragma once

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "draw_service/draw_source.h"
#include "draw_service/history_file.h"
#include "draw_service/merge.h"
#include "draw_service/served_documents.h"

namespace zelkor::service {

// The store's file and its lock file in the store folder.
inline constexpr char kStoreFileName[] = "added-draws.csv";
inline constexpr char kStoreLockName[] = "added-draws.lock";

// The most of a file the service reads (a store, an imported file).
inline constexpr size_t kMaxReadBytes = size_t{64} << 20;

// Reads up to kMaxReadBytes of the file at `path` into `text`: empty on
// success, else why not ("cannot be opened", "is larger than 64 MiB").
[[nodiscard]] std::string ReadFileCapped(const std::filesystem::path& path, std::string& text);

// What offering draws to the store came to.
struct StoreOutcome {
  MergeOutcome merge;
  // Why the store could not be read, locked or written; then nothing was
  // stored and the store is as it was.
  std::string error;
};

class DrawStore {
 public:
  // A store in `folder` merged over `shipped` (oldest first).
  DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder);

  [[nodiscard]] const std::filesystem::path& file() const { return file_; }
  [[nodiscard]] const std::vector<HistoryDraw>& shipped() const { return shipped_; }

  // The player's own draws as the store file holds them now (none when there
  // is no file yet), or the reason it cannot be used in `error`.
  [[nodiscard]] std::vector<HistoryDraw> ReadOwn(std::string& error) const;

  // Merges `offered` into the shipped history and the store, and writes the
  // store when draws were added: under the lock, from the store as it is
  // then, so that no other writer's draws are lost. With `all_or_nothing`,
  // a draw refused for its order keeps the others from being stored too.
  [[nodiscard]] StoreOutcome Offer(std::vector<OfferedDraw> offered,
                                   bool all_or_nothing = false) const;

 private:
  std::vector<HistoryDraw> shipped_;
  std::filesystem::path folder_;
  std::filesystem::path file_;
};

// Keeps the holder's documents those of the shipped history merged with the
// store as the file holds it now; safe to call from any thread.
class ServedHistory {
 public:
  using Log = std::function<void(const std::string& line)>;
  // `latest` above zero serves only that many newest draws.
  ServedHistory(const DrawStore& store, DocumentHolder& holder, size_t latest, Log log);

  // Publishes the merged history when the store file changed since the last
  // call (always on the first). Cheap when nothing changed: one look at the
  // file's time and size. A store that cannot be read is logged once per
  // change and the documents stay as they were.
  void Refresh();

  // The history last published (empty before the first Refresh).
  [[nodiscard]] std::vector<HistoryDraw> Served() const;

 private:
  struct Stamp {
    bool exists = false;
    std::filesystem::file_time_type time;
    std::uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  [[nodiscard]] Stamp Look() const;

  const DrawStore& store_;
  DocumentHolder& holder_;
  size_t latest_;
  Log log_;
  mutable std::mutex mutex_;
  bool published_ = false;
  Stamp seen_;
  std::vector<HistoryDraw> served_;
};

}  // namespace zelkor::service
