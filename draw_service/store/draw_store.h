// The player's own draws: a history file of their own, in the format of the
// shipped one, which the service serves merged with the shipped history. The
// shipped file is never written; every change to the store replaces it in
// one step, under a lock that keeps services and commands from interleaving.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "draw_service/history/draw_source.h"
#include "draw_service/history/history_file.h"
#include "draw_service/history/merge.h"
#include "draw_service/history/schedule.h"
#include "draw_service/store/store_text.h"
#include "runtime/log.h"

namespace zelkor::service {

// The store's file and its lock file in the store folder.
inline constexpr char kStoreFileName[] = "added-draws.csv";
inline constexpr char kStoreLockName[] = "added-draws.lock";

// What offering draws to the store came to.
struct StoreOutcome {
  MergeOutcome merge;
  // Draws added although something about them is odd (a date much later
  // than the schedule gives), one line each.
  std::vector<std::string> warnings;
  // Why the store could not be read, locked or written; then nothing was
  // stored and the store is as it was.
  std::string error;
  // Why the offer was refused whole: storing it would make the store file
  // or the served draw list larger than their readers take, naming the
  // limit. Then nothing was stored and `merge.added` is empty.
  std::string over_limit;
};

class DrawStore {
 public:
  // A store in `folder` merged over `shipped` (oldest first). `notices`
  // hears of a writer that has to wait for the lock.
  DrawStore(std::vector<HistoryDraw> shipped, std::filesystem::path folder, Log notices = {});

  [[nodiscard]] const std::filesystem::path& file() const { return file_; }
  [[nodiscard]] const std::vector<HistoryDraw>& shipped() const { return shipped_; }

  // The player's own draws as the store file holds them now (none when there
  // is no file yet), read forgivingly, or the reason it cannot be used in
  // `error`. With `unread`, the lines that cannot be read go there and the
  // others' draws are returned; without, as for a writer, which must not
  // rewrite a store it cannot read whole, the first such line is the error.
  [[nodiscard]] std::vector<HistoryDraw> ReadOwn(std::string& error,
                                                 std::vector<UnreadLine>* unread = nullptr) const;

  // Merges `offered` into the shipped history and the store, and writes the
  // store when draws were added: under the lock, from the store as it is
  // then, so that no other writer's draws are lost. A draw new to the history
  // must also keep to the draw rules as of `now` (no future date, no hole,
  // a date after the previous draw's), and may not come before the first
  // draw held. With `all_or_nothing`, a refused draw keeps the others from
  // being stored too.
  [[nodiscard]] StoreOutcome Offer(std::vector<OfferedDraw> offered, bool all_or_nothing = false,
                                   BeijingTime now = BeijingNow()) const;

  // Removes the draw of `issue` from the store, under the lock and in one
  // step, when it is the newest draw held and the store's own (not shipped),
  // so that no hole is left. Returns why not (Chinese, then English in
  // brackets) in `refusal`, or why the store could not be used in `error`.
  struct Removal {
    std::string refusal;
    std::string error;
    HistoryDraw removed;
  };
  [[nodiscard]] Removal Remove(const std::string& issue) const;

 private:
  std::vector<HistoryDraw> shipped_;
  std::filesystem::path folder_;
  std::filesystem::path file_;
  Log notices_;
};

}  // namespace zelkor::service
