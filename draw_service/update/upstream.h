// Keeping the store current from the built-in sources and the upstreams the
// player names, in rounds that ask them all at once and cross-check their
// answers: at start (bounded, before the first draw list is answered), then
// each evening after the draw until it arrived, asking a source no more
// often than it allows and backing off one that keeps failing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "draw_service/history/schedule.h"
#include "draw_service/store/draw_store.h"
#include "draw_service/update/source_report.h"
#include "draw_service/update/sources.h"
#include "draws/draws.h"
#include "runtime/log.h"

namespace zelkor::service {

// How long the start waits for the first round at most.
inline constexpr std::chrono::seconds kStartDeadline{5};
// How long a later round's requests may take.
inline constexpr std::chrono::seconds kRoundDeadline{60};
// The evening's first round comes at 21:30 Beijing plus up to this much,
// drawn at random, so that the copies installed do not ask all at once; later
// ones every 10 to 15 minutes until the draw arrived.
inline constexpr std::chrono::minutes kEveningCheck{21 * 60 + 30};
inline constexpr std::chrono::minutes kEveningSpread{10};
inline constexpr std::chrono::minutes kEveningPollLeast{10};
inline constexpr std::chrono::minutes kEveningPollMost{15};

// The wait after `failures` (at least 1) failures in a row: one minute,
// doubling with each further failure, at most four hours.
[[nodiscard]] std::chrono::minutes BackOff(int failures);

// When the round after one that ended at `now` is due: tonight's evening
// check (21:30 plus `spread`) while it is ahead; after it, `poll` later while
// the draws the schedule expects are not all held (`up_to_date`), until
// midnight; else the next evening's check. So a copy started in the day asks
// at start and then only in the evening.
[[nodiscard]] BeijingTime NextRound(BeijingTime now, bool up_to_date, std::chrono::seconds spread,
                                    std::chrono::seconds poll);

// Runs the rounds on a thread of its own.
class Updater {
 public:
  // Asks `sources` (named in this order on the page) and the `upstreams`;
  // `none_because` says why there are no sources when there are none. Draws
  // agreed on go to `store`; `stored` runs after a round stored draws, to
  // publish them, and `reported` after every round with what it came to.
  Updater(std::vector<SourceSpec> sources, std::vector<std::string> upstreams,
          std::string none_because, std::string user_agent, const DrawStore& store,
          std::function<void()> stored, std::function<void(const SourcesReport&)> reported,
          Log log);
  ~Updater();
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;

  // Starts the first round, every source at once within kStartDeadline, then
  // the schedule.
  void Start();
  // Waits for the first round to end, at most `deadline`; true when it ended.
  bool WaitForFirstRound(std::chrono::milliseconds deadline);
  // Ends the schedule; false when a fetch still under way kept the thread
  // from ending within `grace` (the thread is then left to the process's end,
  // and the caller must end the process without returning from main).
  bool Stop(std::chrono::milliseconds grace);

 private:
  // One source or upstream taking part in the rounds.
  struct Member {
    std::string name;
    const SourceSpec* source = nullptr;  // null for an upstream
    std::string upstream;
    int failures = 0;
    std::chrono::system_clock::time_point not_before{};
  };

  void Run();
  // One round; true when the draws the schedule expects are all held after it.
  bool Round(std::chrono::seconds deadline);

  std::vector<SourceSpec> sources_;
  std::vector<Member> members_;
  std::string user_agent_;
  const DrawStore& store_;
  std::function<void()> stored_;
  std::function<void(const SourcesReport&)> reported_;
  Log log_;
  SourcesReport report_;
  std::mt19937 random_{std::random_device{}()};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool first_round_over_ = false;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace zelkor::service
