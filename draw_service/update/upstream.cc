#include "draw_service/update/upstream.h"

#include <algorithm>

#include "draw_service/history/draw_source.h"

namespace zelkor::service {
namespace {

using SystemClock = std::chrono::system_clock;

}  // namespace

bool UpdateFrom(const std::string& url, const DrawStore& store, const FetchOptions& options,
                const Log& log) {
  const std::string from = "upstream " + url + ": ";
  const FetchResult fetched = FetchWithReason(url, options);
  if (!fetched.failure.empty()) {
    log(from + "not used: " + fetched.failure);
    return false;
  }
  DrawSource source = ReadDrawSource(fetched.body);
  for (const RefusedRow& row : source.refused) {
    log(from + "line " + std::to_string(row.line) + " refused: " + row.reason);
  }
  if (!source.error.empty()) {
    log(from + "not used: " + source.error);
    return false;
  }
  const size_t offered = source.draws.size();
  const StoreOutcome outcome = store.Offer(std::move(source.draws));
  if (!outcome.error.empty()) {
    log(from + "nothing stored: " + outcome.error);
    return false;
  }
  if (const auto& conflict = outcome.merge.conflict) {
    log(from + "conflict on draw " + conflict->issue + ": held as " + conflict->held_digits +
        ", the upstream says " + conflict->offered_digits + " (line " +
        std::to_string(conflict->line) +
        "); the held draw stays and nothing of this answer is used");
    return false;
  }
  for (const RefusedRow& row : outcome.merge.refused) {
    log(from + "line " + std::to_string(row.line) + " refused: " + row.reason);
  }
  for (const HistoryDraw& draw : outcome.merge.added) {
    log("added draw " + draw.issue + " of " + draw.date + ": " + draw.digits + " (from " + url +
        ")");
  }
  log(from + std::to_string(offered) + " draws offered, " +
      std::to_string(outcome.merge.added.size()) + " new");
  return true;
}

SystemClock::time_point NextEveningCheck(SystemClock::time_point after) {
  // 21:30 in Beijing is 13:30 UTC, every day of the year.
  constexpr auto kCheckInUtcDay = std::chrono::hours(13) + std::chrono::minutes(30);
  const auto day = std::chrono::floor<std::chrono::days>(after);
  SystemClock::time_point check = day + kCheckInUtcDay;
  if (check <= after) check += std::chrono::days(1);
  return check;
}

std::chrono::minutes BackOff(int failures) {
  constexpr std::chrono::minutes kLongest = std::chrono::hours(4);
  const int doublings = std::clamp(failures - 1, 0, 8);
  return std::min(kLongest, std::chrono::minutes(1 << doublings));
}

SystemClock::time_point NextAttempt(SystemClock::time_point last, int failures,
                                    std::chrono::minutes interval) {
  const std::chrono::minutes wait = failures > 0 ? BackOff(failures) : interval;
  return std::min(last + wait, NextEveningCheck(last));
}

Updater::Updater(std::vector<std::string> upstreams, const DrawStore& store,
                 std::function<void()> stored, Log log, std::chrono::minutes interval)
    : upstreams_(std::move(upstreams)),
      store_(store),
      stored_(std::move(stored)),
      log_(std::move(log)),
      interval_(interval) {}

Updater::~Updater() {
  if (thread_.joinable()) (void)Stop(std::chrono::hours(1));
}

void Updater::Start() {
  thread_ = std::thread([this] { Run(); });
}

bool Updater::WaitForFirstRound(std::chrono::milliseconds deadline) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [this] { return first_round_over_; });
}

bool Updater::Stop(std::chrono::milliseconds grace) {
  std::unique_lock lock(mutex_);
  stopping_ = true;
  changed_.notify_all();
  if (!changed_.wait_for(lock, grace, [this] { return finished_; })) {
    lock.unlock();
    thread_.detach();
    return false;
  }
  lock.unlock();
  thread_.join();
  return true;
}

void Updater::Run() {
  struct State {
    SystemClock::time_point next;
    int failures = 0;
  };
  std::vector<State> states(upstreams_.size());
  {
    // Every upstream at once, so that the start waits for the slowest only.
    std::vector<char> succeeded(upstreams_.size(), 0);
    std::vector<std::thread> fetches;
    for (size_t i = 0; i < upstreams_.size(); ++i) {
      fetches.emplace_back([this, i, &succeeded] {
        succeeded[i] =
            UpdateFrom(upstreams_[i], store_, FetchOptions::Within(kStartDeadline), log_) ? 1 : 0;
      });
    }
    for (std::thread& fetch : fetches) fetch.join();
    stored_();
    const auto now = SystemClock::now();
    for (size_t i = 0; i < states.size(); ++i) {
      states[i].failures = succeeded[i] ? 0 : 1;
      states[i].next = NextAttempt(now, states[i].failures, interval_);
    }
  }
  std::unique_lock lock(mutex_);
  first_round_over_ = true;
  changed_.notify_all();
  while (!stopping_ && !states.empty()) {
    const auto next =
        std::min_element(states.begin(), states.end(), [](const State& a, const State& b) {
          return a.next < b.next;
        })->next;
    if (changed_.wait_until(lock, next, [this] { return stopping_; })) break;
    for (size_t i = 0; i < states.size() && !stopping_; ++i) {
      if (states[i].next > SystemClock::now()) continue;
      lock.unlock();
      const bool ok = UpdateFrom(upstreams_[i], store_, FetchOptions(), log_);
      stored_();
      lock.lock();
      states[i].failures = ok ? 0 : states[i].failures + 1;
      states[i].next = NextAttempt(SystemClock::now(), states[i].failures, interval_);
    }
  }
  finished_ = true;
  changed_.notify_all();
}

}  // namespace zelkor::service
