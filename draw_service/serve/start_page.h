// The start-up page the program opens at every start: the player's dashboard
// of the history the service holds, with the backtest that says how far the
// picks are from chance.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history/history_file.h"
#include "draw_service/serve/own_draws.h"

namespace zelkor::service {

// The draws the start page lists, newest first.
inline constexpr size_t kStartPageRecentDraws = 30;

// The whole start-up page of `draws` (oldest first) as of `today` (HTML,
// UTF-8, Simplified Chinese): how current the newest draw is, the next
// issue's picks of every page, the latest draws, the backtest of every page
// against chance and its chart; and what `own` holds. The page stands
// alone: its styles and chart are inline, it needs no script and names no
// other site. `sources_section`, when given, follows the freshness (the
// service's section on its draw sources).
[[nodiscard]] std::string StartPage(const std::vector<HistoryDraw>& draws,
                                    std::chrono::sys_days today,
                                    std::string_view sources_section = {},
                                    const OwnDrawsPanel& own = {});

}  // namespace zelkor::service
