// What the service answers with, built once per history and shared by every
// request: a request takes the current documents and keeps them alive for as
// long as it sends them, so publishing a new history never disturbs it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "draw_service/history_file.h"

namespace zelkor::service {

// The documents built from one history.
struct ServedDocuments {
  std::string draw_list;
  std::string startup_page;
};

// The documents currently served; safe to use from any thread.
class DocumentHolder {
 public:
  // Builds the documents of `draws` (oldest first) and makes them current.
  void Publish(const std::vector<HistoryDraw>& draws);
  // The current documents; null before the first Publish.
  [[nodiscard]] std::shared_ptr<const ServedDocuments> Current() const;

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const ServedDocuments> current_;
};

}  // namespace zelkor::service
