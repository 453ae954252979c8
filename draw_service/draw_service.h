// The draw service the default build points at: it serves a draw history
// file as the draw list document, the version record naming the current
// version, and a small start-up page, so that the program runs out of the box
// on real draws.
#pragma once

#include <httplib.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "draw_service/history_file.h"
#include "draw_service/served_documents.h"

namespace zelkor::service {

// The draw list document of `draws` (oldest first, as the history file holds
// them): one row element per draw, newest first, in the row format the
// program parses, e.g.
//   <row expect="2026224" opencode="8,6,2" opentime="2026-08-22 21:15:00" trycode="" tryinfo="" />
[[nodiscard]] std::string DrawListDocument(const std::vector<HistoryDraw>& draws);

// The most the draw list document may be: what the window and the report
// tool read of a download.
inline constexpr size_t kMaxDrawListBytes = size_t{64} << 20;

// The most draws whose draw list document fits in kMaxDrawListBytes (every
// row has the same length).
[[nodiscard]] size_t MaxServedDraws();

// The start-up page (HTML, UTF-8), naming how many draws are served, the
// newest one and how old it is on `today`; when it is stale, how to bring the
// history up to date.
[[nodiscard]] std::string StartupPage(const std::vector<HistoryDraw>& draws,
                                      std::chrono::sys_days today);
// StartupPage as of today in Beijing.
[[nodiscard]] std::string StartupPage(const std::vector<HistoryDraw>& draws);

// The version record: the version the program is.
inline constexpr std::string_view kVersionRecord = "1.1";

// The paths the service answers on besides the draw list.
[[nodiscard]] std::string_view StartupPagePath();
[[nodiscard]] std::string_view VersionRecordPath();

// The newest `count` draws of `draws` (all of them when there are fewer).
[[nodiscard]] std::vector<HistoryDraw> Latest(std::vector<HistoryDraw> draws, size_t count);

// Called with one line per answered request ("GET /path 200"), the path
// escaped as Printable does, so that a request cannot steer a terminal.
using RequestLog = std::function<void(const std::string& line)>;

// Registers the draw list and the start-up page `documents` holds at the
// time of each request, and the version record, on `server` at exactly their
// paths; every answered request goes to `log` when one is given. `refresh`,
// when set, runs before a document is taken, so that a history changed
// meanwhile is served from that request on.
void AddRoutes(httplib::Server& server, const DocumentHolder& documents, RequestLog log = nullptr,
               std::function<void()> refresh = nullptr);

}  // namespace zelkor::service
