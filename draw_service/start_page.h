// The start-up page the program opens at every start: the player's dashboard
// of the history the service holds, with the backtest that says how far the
// picks are from chance.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "draw_service/history_file.h"

namespace zelkor::service {

// The draws the start page lists, newest first.
inline constexpr size_t kStartPageRecentDraws = 30;

// The whole start-up page of `draws` (oldest first) as of `today` (HTML,
// UTF-8, Simplified Chinese): how current the newest draw is, the next
// issue's picks of every page, the latest draws, the backtest of every page
// against chance and its chart. The page stands alone: its styles and chart
// are inline, it needs no script and names no other site.
[[nodiscard]] std::string StartPage(const std::vector<HistoryDraw>& draws,
                                    std::chrono::sys_days today);

// The start page of one history as of today in Beijing: built once, and again
// only when the day has changed since, for the newest draw's age changes at
// midnight. Safe to use from any thread.
class TodaysStartPage {
 public:
  explicit TodaysStartPage(std::vector<HistoryDraw> draws);

  // The page as of today. While one caller builds the new day's page, the
  // others keep getting the previous one rather than wait.
  [[nodiscard]] std::shared_ptr<const std::string> Page();

 private:
  const std::vector<HistoryDraw> draws_;
  std::mutex build_mutex_;  // held while a page is built
  std::mutex mutex_;        // guards day_ and page_
  std::chrono::sys_days day_{};
  std::shared_ptr<const std::string> page_;
};

}  // namespace zelkor::service
