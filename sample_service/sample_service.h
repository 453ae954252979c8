// A stand-in for the draw-data service and the program's web addresses, so
// the program runs out of the box: a realistic, reproducible draw history, the
// version record naming the current version and a small start-up page.
#pragma once

#include <httplib.h>

#include <functional>
#include <string>
#include <string_view>

namespace zelkor::sample {

// How many draws the sample history holds.
inline constexpr int kSampleDrawCount = 400;

// The draw list document: one row element per draw, newest first, with
// seven-digit issue numbers (year and the draw's number within the year).
// The same on every call and every run of the same build.
[[nodiscard]] const std::string& SampleDrawList();

// The start-up page (HTML, UTF-8).
[[nodiscard]] const std::string& SampleStartupPage();

// The version record: the version the program is.
inline constexpr std::string_view kSampleVersionRecord = "1.1";

// The paths the sample answers on.
[[nodiscard]] std::string_view SampleStartupPagePath();
[[nodiscard]] std::string_view SampleVersionRecordPath();

// Called with one line per answered request ("GET /path 200").
using RequestLog = std::function<void(const std::string& line)>;

// Registers the draw list, the version record and the start-up page on
// `server`; every answered request goes to `log` when one is given.
void AddSampleRoutes(httplib::Server& server, RequestLog log = nullptr);

}  // namespace zelkor::sample
