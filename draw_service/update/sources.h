// The public draw sources the service asks by itself, in one table: a new
// source is one row here and one reader in draws/.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "draw_service/update/cross_check.h"
#include "draws/draws.h"
#include "draws/source_readers.h"

namespace zelkor::service {

// One source: where to ask, how to read the answer, and how to ask politely.
struct SourceSpec {
  // Short, for the settings file (source.NAME = off), the log and the page.
  std::string name;
  // The address giving the newest `few` draws, and the one for filling a gap
  // of up to `covers` draws; "{count}" in either becomes the count asked.
  std::string address;
  std::string gap_address;
  size_t few = 10;
  size_t covers = 10;
  // "Name: value" request headers the source needs (a Referer).
  std::vector<std::string> headers;
  // The User-Agent it needs; empty for the program's own.
  std::string user_agent;
  // A page asked first whose cookies the source wants back; empty for none.
  std::string cookie_page;
  // The least time between two requests to it.
  std::chrono::minutes least_interval{10};
  // Reads its answer, at most `most` draws of it.
  SourceReading (*read)(std::string_view body, size_t most) = nullptr;
};

// The built-in sources, in the order they are named.
[[nodiscard]] const std::vector<SourceSpec>& BuiltInSources();

// The environment variable that, for tests alone, switches the built-in
// sources off ("off") or points them at loopback imitations: one address
// for all ("http://127.0.0.1:8000") or one per source, the others off
// ("xml=http://127.0.0.1:8000,zhcw=http://127.0.0.1:8001").
inline constexpr char kSourcesSwitch[] = "ZELKOR_SOURCES";

// The sources the service uses: `table` as the switch `value` (null when
// unset) leaves it. An address in the switch that is not on loopback
// switches every source off and says why in `note`, so that a mistyped test
// can never reach a real host.
[[nodiscard]] std::vector<SourceSpec> SwitchedSources(std::vector<SourceSpec> table,
                                                      const char* value, std::string& note);

// Asks `source` for its newest `count` draws (more than `few` only to fill a
// gap), with `user_agent` unless the source needs another, within `options`.
[[nodiscard]] SourceAnswer AskSource(const SourceSpec& source, size_t count,
                                     const std::string& user_agent, FetchOptions options);

// Asks the player's upstream at `url` (a draw list or a history CSV) for
// what it holds, within `options`. Rows that break the format's rules are
// left out and told in `refused_rows` ("line N: why"); the others count.
[[nodiscard]] SourceAnswer AskUpstream(const std::string& url, const FetchOptions& options,
                                       std::vector<std::string>& refused_rows);

}  // namespace zelkor::service
