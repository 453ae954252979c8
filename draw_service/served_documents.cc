#include "draw_service/served_documents.h"

#include "draw_service/draw_service.h"

namespace zelkor::service {

void DocumentHolder::Publish(const std::vector<HistoryDraw>& draws) {
  // Built outside the lock: requests keep taking the old documents meanwhile.
  auto documents = std::make_shared<const ServedDocuments>(
      ServedDocuments{DrawListDocument(draws), StartupPage(draws)});
  std::lock_guard lock(mutex_);
  current_ = std::move(documents);
}

std::shared_ptr<const ServedDocuments> DocumentHolder::Current() const {
  std::lock_guard lock(mutex_);
  return current_;
}

}  // namespace zelkor::service
