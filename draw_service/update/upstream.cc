#include "draw_service/update/upstream.h"

#include <algorithm>
#include <string_view>

#include "draw_service/history/merge.h"

namespace zelkor::service {
namespace {

using SystemClock = std::chrono::system_clock;

// Draws refused and added in one round are logged one a line up to this
// many, then summed up on one line, so that an answer of a million bad rows
// logs a dozen.
constexpr size_t kLinesPerRound = 12;

// Logs `line(item)` for the first kLinesPerRound items, then one line that
// counts the rest as `rest` ("more draws refused").
template <typename Item, typename Line>
void LogSome(const Log& log, const std::vector<Item>& items, std::string_view rest, Line line) {
  for (size_t i = 0; i < items.size() && i < kLinesPerRound; ++i) log(line(items[i]));
  if (items.size() > kLinesPerRound) {
    log("and " + GroupedCount(items.size() - kLinesPerRound) + " " + std::string(rest));
  }
}

// How many newest draws a member is asked for, `gap` draws behind: a few,
// or enough to fill the gap when it covers it.
size_t CountToAsk(const SourceSpec& source, size_t gap) {
  const size_t wanted = gap + 1;
  if (wanted <= source.few || wanted > source.covers) return source.few;
  return wanted;
}

// "from xml, 17500"
std::string Joined(const std::vector<std::string>& names) {
  std::string text = "from";
  for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? " " : ", ") + names[i];
  return text;
}

bool Names(const Disagreement& d, const std::string& name) {
  return d.first.starts_with(name + ": ") || d.second.starts_with(name + ": ");
}

}  // namespace

std::chrono::minutes BackOff(int failures) {
  constexpr std::chrono::minutes kLongest = std::chrono::hours(4);
  const int doublings = std::clamp(failures - 1, 0, 8);
  return std::min(kLongest, std::chrono::minutes(1 << doublings));
}

BeijingTime NextRound(BeijingTime now, bool up_to_date, std::chrono::seconds spread,
                      std::chrono::seconds poll) {
  const auto today = std::chrono::floor<std::chrono::days>(now);
  const BeijingTime evening = today + kEveningCheck + spread;
  if (now < evening) return evening;
  const BeijingTime tomorrow_evening = today + std::chrono::days(1) + kEveningCheck + spread;
  if (!up_to_date && now + poll < today + std::chrono::days(1)) return now + poll;
  return tomorrow_evening;
}

Updater::Updater(std::vector<SourceSpec> sources, std::vector<std::string> upstreams,
                 std::string none_because, std::string user_agent, const DrawStore& store,
                 std::function<void()> stored, std::function<void(const SourcesReport&)> reported,
                 Log log)
    : sources_(std::move(sources)),
      user_agent_(std::move(user_agent)),
      store_(store),
      stored_(std::move(stored)),
      reported_(std::move(reported)),
      log_(std::move(log)) {
  for (const SourceSpec& source : sources_) members_.push_back({source.name, &source, {}});
  for (std::string& url : upstreams) members_.push_back({"upstream " + url, nullptr, url});
  for (const Member& member : members_) report_.sources.push_back({member.name, {}, {}, {}, {}});
  report_.none_because = members_.empty() ? std::move(none_because) : std::string();
}

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

bool Updater::Round(std::chrono::seconds deadline) {
  const BeijingTime now = BeijingNow();
  std::string error;
  const std::vector<HistoryDraw> held = UniteHistories(store_.shipped(), store_.ReadOwn(error));
  if (held.empty()) return true;
  const size_t gap = ExpectedSince(held.back(), now).size();

  // Every member due at once, so that a round waits for the slowest only.
  const auto asked_at = SystemClock::now();
  std::vector<SourceAnswer> answers(members_.size());
  std::vector<std::vector<std::string>> refused_rows(members_.size());
  std::vector<char> due(members_.size(), 0);
  std::vector<std::thread> fetches;
  for (size_t i = 0; i < members_.size(); ++i) {
    if (members_[i].not_before > asked_at) continue;
    due[i] = 1;
    fetches.emplace_back([this, i, gap, deadline, &answers, &refused_rows] {
      const Member& member = members_[i];
      const FetchOptions options = FetchOptions::Within(deadline);
      answers[i] =
          member.source != nullptr
              ? AskSource(*member.source, CountToAsk(*member.source, gap), user_agent_, options)
              : AskUpstream(member.upstream, options, refused_rows[i]);
      answers[i].source = member.name;
    });
  }
  for (std::thread& fetch : fetches) fetch.join();
  std::vector<SourceAnswer> given;
  for (size_t i = 0; i < members_.size(); ++i) {
    if (due[i]) given.push_back(answers[i]);
  }
  for (size_t i = 0; i < members_.size(); ++i) {
    const std::string& name = members_[i].name;
    LogSome(log_, refused_rows[i], "more rows refused",
            [&name](const std::string& row) { return name + ": " + row + " refused"; });
  }
  RoundVerdict verdict = CrossCheck(held, given, now);

  LogSome(log_, verdict.disagreements, "more draws the sources disagree on",
          [](const Disagreement& d) {
            return "draw " + d.issue + " not stored: the sources disagree (" + d.first + "; " +
                   d.second + ")";
          });
  LogSome(log_, verdict.held_differs, "more held draws given differently",
          [](const Disagreement& d) {
            return "draw " + d.issue + " kept as held (" + d.first + "; " + d.second + ")";
          });
  LogSome(log_, verdict.refused, "more draws refused",
          [](const std::string& refused) { return "draw " + refused + "; refused"; });
  LogSome(log_, verdict.warnings, "more warnings",
          [](const std::string& warning) { return "draw " + warning; });
  if (!verdict.waiting.empty()) {
    log_("draws " + NameIssues(verdict.waiting) + " wait: " + NameIssues(verdict.missing) +
         " missing, " + verdict.missing_why);
  }
  if (!verdict.agreed.empty()) {
    std::vector<OfferedDraw> offered;
    for (const HistoryDraw& draw : verdict.agreed) offered.push_back({draw, 0});
    const StoreOutcome outcome = store_.Offer(std::move(offered));
    if (!outcome.error.empty() || !outcome.over_limit.empty()) {
      log_("nothing stored: " + outcome.error + outcome.over_limit);
    } else {
      LogSome(log_, outcome.merge.added, "more draws added", [&verdict](const HistoryDraw& draw) {
        return "added draw " + draw.issue + " of " + draw.date + ": " + draw.digits + " (" +
               Joined(verdict.agreeing_sources[draw.issue]) + ")";
      });
      if (!outcome.merge.added.empty() && stored_) stored_();
    }
  }

  const auto ended = SystemClock::now();
  for (size_t i = 0; i < members_.size(); ++i) {
    if (!due[i]) continue;
    Member& member = members_[i];
    SourceStatus& status = report_.sources[i];
    const SourceAnswer& answer = answers[i];
    status.asked = MinuteText(now);
    status.failure = answer.failure;
    status.newest.clear();
    for (const HistoryDraw& draw : answer.draws)
      status.newest = std::max(status.newest, draw.issue);
    status.disagreed.clear();
    for (const Disagreement& d : verdict.disagreements) {
      if (Names(d, member.name)) status.disagreed.push_back(d.issue);
    }
    if (answer.failure.empty()) {
      log_(member.name + ": " + std::to_string(answer.draws.size()) + " draws, newest " +
           status.newest);
    } else {
      log_(member.name + ": not used: " + answer.failure);
    }
    member.failures = answer.failure.empty() ? 0 : member.failures + 1;
    std::chrono::minutes wait =
        member.source != nullptr ? member.source->least_interval : std::chrono::minutes(0);
    if (member.failures > 0) wait = std::max(wait, BackOff(member.failures));
    member.not_before = ended + wait;
  }
  report_.verdict = std::move(verdict);

  std::vector<HistoryDraw> now_held = UniteHistories(store_.shipped(), store_.ReadOwn(error));
  const HistoryDraw& newest = now_held.empty() ? held.back() : now_held.back();
  log_(ScheduleFreshness(newest, now, report_));
  if (reported_) reported_(report_);
  return ExpectedSince(newest, now).empty();
}

void Updater::Run() {
  bool up_to_date = Round(kStartDeadline);
  std::unique_lock lock(mutex_);
  first_round_over_ = true;
  changed_.notify_all();
  // One evening delay for this copy, so that its evening rounds keep their
  // own moment.
  const std::chrono::seconds spread(std::uniform_int_distribution<int>(
      0, static_cast<int>(std::chrono::seconds(kEveningSpread).count()))(random_));
  std::uniform_int_distribution<int> poll(
      static_cast<int>(std::chrono::seconds(kEveningPollLeast).count()),
      static_cast<int>(std::chrono::seconds(kEveningPollMost).count()));
  while (!stopping_ && !members_.empty()) {
    const BeijingTime next =
        NextRound(BeijingNow(), up_to_date, spread, std::chrono::seconds(poll(random_)));
    const auto wake = SystemClock::now() + (next - BeijingNow());
    if (changed_.wait_until(lock, wake, [this] { return stopping_; })) break;
    lock.unlock();
    up_to_date = Round(kRoundDeadline);
    lock.lock();
  }
  finished_ = true;
  changed_.notify_all();
}

}  // namespace zelkor::service
