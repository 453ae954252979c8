#include "draw_service/serve/served_history.h"

#include <system_error>
#include <utility>

#include "draw_service/history/draw_list.h"
#include "draw_service/history/merge.h"
#include "runtime/read_file.h"

namespace zelkor::service {

ServedHistory::ServedHistory(const DrawStore& store, DocumentHolder& holder, size_t latest, Log log,
                             PlayerPlaces places, std::string form_token)
    : store_(store),
      holder_(holder),
      latest_(latest),
      log_(std::move(log)),
      places_(std::move(places)),
      form_token_(std::move(form_token)) {}

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
  OwnDrawsPanel panel{places_, {}, form_token_, {}};
  const std::vector<HistoryDraw> own = store_.ReadOwn(error, &panel.unread);
  if (!error.empty()) {
    // At the first look nothing of the store was ever served.
    if (log_) {
      log_("cannot use the store: " + error +
           (published_ ? "; serving the draws held before" : "; serving the shipped history only"));
    }
    if (published_) return;
  }
  for (const UnreadLine& unread : panel.unread) {
    if (log_) {
      log_("store line not used: " + PathUtf8(store_.file()) + ":" + std::to_string(unread.line) +
           ": " + UnreadLineText(unread));
    }
  }
  std::vector<HistoryDraw> served = UniteHistories(store_.shipped(), own);
  // Only the newest draw, and only one the shipped history lacks, may go.
  if (!own.empty() && served.back().issue == own.back().issue &&
      (store_.shipped().empty() || store_.shipped().back().issue < own.back().issue)) {
    panel.removable_issue = own.back().issue;
  }
  if (latest_ > 0) served = Latest(std::move(served), latest_);
  holder_.Publish(served, std::move(panel));
  served_ = std::move(served);
  published_ = true;
}

std::vector<HistoryDraw> ServedHistory::Served() const {
  std::lock_guard lock(mutex_);
  return served_;
}

}  // namespace zelkor::service
