// What the draw service serves, built once from the draws and shared by every
// request: a request holds the documents it started with, so that a new set
// published meanwhile neither disturbs it nor is copied for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/serve/start_page.h"

namespace zelkor::service {

// The documents built from one set of draws.
struct ServedDocuments {
  std::string draw_list;
  std::string start_page;
  // The start-up page tells the newest draw's age: the day it counts from,
  // and the draws, to build it again on a later day.
  std::chrono::sys_days day{};
  std::shared_ptr<const std::vector<HistoryDraw>> draws;
  std::shared_ptr<const OwnDrawsPanel> own;
};

// Holds the documents currently served; safe to use from any thread.
class DocumentHolder {
 public:
  // Builds the documents of `draws` (oldest first), the start page with
  // `own`, and serves them from now on.
  void Publish(const std::vector<HistoryDraw>& draws, OwnDrawsPanel own = {});

  // Puts `html` into the start page from now on (the section on the draw
  // sources), building the page again.
  void SetSourcesSection(std::string html);

  // The documents served now; empty documents before the first Publish. On a
  // later day than the start-up page was built for, one caller builds it
  // again first, while the others keep getting the previous day's.
  [[nodiscard]] std::shared_ptr<const ServedDocuments> Current() const;

 private:
  mutable std::mutex mutex_;
  mutable std::mutex rebuild_mutex_;  // held while a new day's page is built
  mutable std::shared_ptr<const ServedDocuments> current_ = std::make_shared<ServedDocuments>();
  std::shared_ptr<const std::string> section_ = std::make_shared<const std::string>();
};

// Holds requests for the documents back until the service's start is over
// (its first round of upstreams), at most `longest` from the gate's making,
// while the service already answers everything else.
class StartGate {
 public:
  explicit StartGate(std::chrono::milliseconds longest)
      : until_(std::chrono::steady_clock::now() + longest) {}

  // Lets every waiting and later request through.
  void Open();
  // Returns once the gate is open or its time is up.
  void Wait() const;

 private:
  const std::chrono::steady_clock::time_point until_;
  mutable std::mutex mutex_;
  mutable std::condition_variable opened_;
  bool open_ = false;
};

}  // namespace zelkor::service
