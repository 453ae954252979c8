// The history the service serves: the shipped draws merged with the
// player's store, published again whenever the store file changes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/serve/served_documents.h"
#include "draw_service/store/draw_store.h"
#include "runtime/log.h"

namespace zelkor::service {

// Keeps the holder's documents those of the shipped history merged with the
// store as the file holds it now; safe to call from any thread.
class ServedHistory {
 public:
  // `latest` above zero serves only that many newest draws. The start page
  // shows `places`, and the store's unread lines as last read.
  ServedHistory(const DrawStore& store, DocumentHolder& holder, size_t latest, Log log,
                PlayerPlaces places = {}, std::string form_token = {});

  // Publishes the merged history when the store file changed since the last
  // call (always on the first). Cheap when nothing changed: one look at the
  // file's time and size. A store that cannot be read is logged once per
  // change and the documents stay as they were; so is each of its lines that
  // cannot be read, while the others are served.
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
  PlayerPlaces places_;
  std::string form_token_;
  mutable std::mutex mutex_;
  bool published_ = false;
  Stamp seen_;
  std::vector<HistoryDraw> served_;
};

}  // namespace zelkor::service
