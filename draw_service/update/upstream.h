// Keeping the store current from upstreams the player names: at start
// (bounded, before the first draw list is answered), then in the background
// every half hour and soon after the evening draw, backing off an upstream
// that keeps failing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "draw_service/store/draw_store.h"
#include "draws/draws.h"
#include "runtime/log.h"

namespace zelkor::service {

// How long the start waits for the first round of upstreams at most.
inline constexpr std::chrono::seconds kStartDeadline{5};
// How often an upstream that answers is asked again.
inline constexpr std::chrono::minutes kUpdateInterval{30};

// One round with one upstream: fetches `url` within `options`, reads the
// answer as a draw list or a history CSV, offers its draws to `store` and
// logs what came of it (each draw added, each row refused, a conflict with
// both values, a failure) on one line each. An answer that broke off, timed
// out or was cut is not used. True when the upstream answered with draws and
// nothing went wrong (no conflict, the store could be written).
bool UpdateFrom(const std::string& url, const DrawStore& store, const FetchOptions& options,
                const Log& log);

// The first check after `after` for the evening draw's result: 21:30 in
// Beijing (UTC+8), a quarter of an hour after the draw.
[[nodiscard]] std::chrono::system_clock::time_point NextEveningCheck(
    std::chrono::system_clock::time_point after);

// The wait after `failures` (at least 1) failures in a row: one minute,
// doubling with each further failure, at most four hours.
[[nodiscard]] std::chrono::minutes BackOff(int failures);

// When to ask an upstream next, last asked at `last` with `failures` failures
// in a row since its last success: after `interval`, or BackOff when it
// failed, and in any case at the next evening check.
[[nodiscard]] std::chrono::system_clock::time_point NextAttempt(
    std::chrono::system_clock::time_point last, int failures, std::chrono::minutes interval);

// Runs the rounds on a thread of its own.
class Updater {
 public:
  // The upstreams are asked in this order; `stored` runs after a round
  // stored draws, to publish them.
  Updater(std::vector<std::string> upstreams, const DrawStore& store, std::function<void()> stored,
          Log log, std::chrono::minutes interval = kUpdateInterval);
  ~Updater();
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;

  // Starts the first round, every upstream at once within kStartDeadline,
  // then the schedule.
  void Start();
  // Waits for the first round to end, at most `deadline`; true when it ended.
  bool WaitForFirstRound(std::chrono::milliseconds deadline);
  // Ends the schedule; false when a fetch still under way kept the thread
  // from ending within `grace` (the thread is then left to the process's end,
  // and the caller must end the process without returning from main).
  bool Stop(std::chrono::milliseconds grace);

 private:
  void Run();

  std::vector<std::string> upstreams_;
  const DrawStore& store_;
  std::function<void()> stored_;
  Log log_;
  std::chrono::minutes interval_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool first_round_over_ = false;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace zelkor::service
