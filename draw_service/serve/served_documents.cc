#include "draw_service/serve/served_documents.h"

#include "draw_service/history/draw_list.h"
#include "draw_service/history/freshness.h"
#include "draw_service/serve/start_page.h"

#include <utility>

namespace zelkor::service {

void DocumentHolder::Publish(const std::vector<HistoryDraw>& draws, OwnDrawsPanel own) {
  std::shared_ptr<const std::string> section;
  {
    std::lock_guard lock(mutex_);
    section = section_;
  }
  // Built outside the lock: requests keep being answered meanwhile.
  const std::chrono::sys_days today = BeijingToday();
  auto documents = std::make_shared<const ServedDocuments>(
      ServedDocuments{DrawListDocument(draws), StartPage(draws, today, *section, own), today,
                      std::make_shared<const std::vector<HistoryDraw>>(draws),
                      std::make_shared<const OwnDrawsPanel>(std::move(own))});
  std::lock_guard lock(mutex_);
  current_ = std::move(documents);
}

void DocumentHolder::SetSourcesSection(std::string html) {
  std::shared_ptr<const ServedDocuments> current;
  auto section = std::make_shared<const std::string>(std::move(html));
  {
    std::lock_guard lock(mutex_);
    section_ = section;
    current = current_;
  }
  if (!current->draws) return;
  auto documents = std::make_shared<ServedDocuments>(*current);
  documents->start_page = StartPage(*current->draws, documents->day, *section, *current->own);
  std::lock_guard lock(mutex_);
  // A history published meanwhile already has the section.
  if (current_ == current) current_ = std::move(documents);
}

std::shared_ptr<const ServedDocuments> DocumentHolder::Current() const {
  std::shared_ptr<const ServedDocuments> current;
  {
    std::lock_guard lock(mutex_);
    current = current_;
  }
  const std::chrono::sys_days today = BeijingToday();
  if (!current->draws || current->day == today) return current;
  std::unique_lock rebuild(rebuild_mutex_, std::try_to_lock);
  if (!rebuild.owns_lock()) return current;
  {
    // Another caller may have built it, or a new history come, meanwhile.
    std::lock_guard lock(mutex_);
    current = current_;
  }
  if (current->day == today) return current;
  std::shared_ptr<const std::string> section;
  {
    std::lock_guard lock(mutex_);
    section = section_;
  }
  auto documents = std::make_shared<ServedDocuments>(*current);
  documents->day = today;
  documents->start_page = StartPage(*current->draws, today, *section, *current->own);
  std::lock_guard lock(mutex_);
  // A history published while the page was built wins over it.
  if (current_ == current) current_ = std::move(documents);
  return current_;
}

void StartGate::Open() {
  std::lock_guard lock(mutex_);
  open_ = true;
  opened_.notify_all();
}

void StartGate::Wait() const {
  std::unique_lock lock(mutex_);
  opened_.wait_until(lock, until_, [this] { return open_; });
}

}  // namespace zelkor::service
