// Rounds over sources and upstreams, sound and hostile, against a store of
// its own, and when they come.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw_service/store/draw_store.h"
#include "draw_service/update/upstream.h"
#include "draws/draws.h"
#include "tests/draw_service/service_test_support.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace zelkor::service {
namespace {

using test_support::LoopbackServer;
using test_support::RawServer;
using test_support::SilentServer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(UpstreamTest, AnswersOfEveryKindGiveOnlySoundDraws) {
  const std::string list = "<xml>\n" + Row("2026226", "4,5,6", "2026-08-24") +
                           Row("2026225", "1,2,3", "2026-08-23") + "</xml>\n";
  LoopbackServer http({
      {"/list.xml", LoopbackServer::Reply(list)},
      {"/draws.csv", LoopbackServer::Reply(
                         "issue,date,digits\n2026227,2026-08-25,789\n2026228,2026-02-30,000\n")},
      {"/only-new.csv", LoopbackServer::Reply("issue,date,digits\n2026230,2026-08-28,222\n")},
      {"/error.html", LoopbackServer::Reply("<html><h1>Error</h1></html>", 200, "text/html")},
      {"/garbage", LoopbackServer::Reply(std::string("\x01\x02\xfe\xff<row", 9))},
      {"/huge", LoopbackServer::Reply("issue,date,digits\n" + std::string(kMaxInputBytes, '#'))},
  });
  LoopbackServer https({{"/down", LoopbackServer::Redirect(http.Url("/only-new.csv"))}},
                       LoopbackServer::Scheme::kHttps);
  RawServer trickle("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nissue,date,digits\n",
                    RawServer::Connections::kOneAnswer, std::chrono::milliseconds(400));
  SilentServer silent;
  FetchOptions options;
  options.ca_file = test_support::TestAuthorityPemPath();
  options.connect_timeout = options.stall_timeout = options.overall_timeout =
      std::chrono::seconds(1);
  struct Case {
    std::string url;
    std::vector<std::string> issues;
    std::string failure;
  };
  const Case cases[] = {
      {http.Url("/list.xml"), {"2026226", "2026225"}, ""},
      {http.Url("/draws.csv"), {"2026227"}, ""},  // the row of 30 February is left out
      {http.Url("/error.html"), {}, "neither a draw list nor a history CSV"},
      {http.Url("/garbage"), {}, "neither"},
      {http.Url("/huge"), {}, "body cut at"},
      {https.Url("/down"), {}, "redirection from https"},
      {trickle.Url("/"), {}, ""},
      {silent.Url("/"), {}, ""},
      {"http://127.0.0.1:1/", {}, "connection refused"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> refused_rows;
    const SourceAnswer answer = AskUpstream(c.url, options, refused_rows);
    EXPECT_EQ(Issues(answer.draws), c.issues) << c.url;
    EXPECT_THAT(answer.failure, HasSubstr(c.failure)) << c.url;
    EXPECT_NE(answer.failure.empty(), c.issues.empty()) << c.url;
  }
}

SourceReading ReadList(std::string_view body, size_t) { return ReadDrawListXml(body); }

TEST(UpstreamTest, ARoundStoresWhatTheSourcesAgreeOnAndTellsOfTheRest) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "round-store";
  std::filesystem::remove_all(folder);
  const std::string agreed = Row("2026225", "1,2,3", "2026-08-23");
  LoopbackServer first(
      {{"/list10.xml", LoopbackServer::Reply("<xml>\n" + Row("2026226", "4,5,6", "2026-08-24") +
                                             agreed + "</xml>\n")}});
  LoopbackServer second(
      {{"/list10.xml", LoopbackServer::Reply("<xml>\n" + Row("2026226", "4,5,7", "2026-08-24") +
                                             agreed + "</xml>\n")}});
  std::vector<SourceSpec> sources(3);
  sources[0] = {"first",
                first.Url("/list10.xml"),
                first.Url("/list10.xml"),
                10,
                10,
                {},
                {},
                {},
                std::chrono::minutes(10),
                ReadList};
  sources[1] = sources[0];
  sources[1].name = "second";
  sources[1].address = sources[1].gap_address = second.Url("/list10.xml");
  sources[2] = sources[0];
  sources[2].name = "gone";
  sources[2].address = sources[2].gap_address = "http://127.0.0.1:1/list10.xml";
  const DrawStore store({{"2026223", "2026-08-21", "948"}, {"2026224", "2026-08-22", "862"}},
                        folder);
  SourcesReport report;
  std::vector<std::string> log;
  {
    Updater updater(
        sources, {}, "", "Zelkor3D/test", store, [] {},
        [&report](const SourcesReport& r) { report = r; },
        [&log](const std::string& line) { log.push_back(line); });
    updater.Start();
    ASSERT_TRUE(updater.WaitForFirstRound(std::chrono::seconds(10)));
    EXPECT_TRUE(updater.Stop(std::chrono::seconds(5)));
  }
  std::string error;
  EXPECT_THAT(Issues(store.ReadOwn(error)), ElementsAre("2026225"));
  ASSERT_EQ(report.verdict.disagreements.size(), 1u);
  EXPECT_EQ(report.verdict.disagreements[0].issue, "2026226");
  EXPECT_THAT(log, ::testing::Contains(
                       "draw 2026226 not stored: the sources disagree (first: 456 of 2026-08-24; "
                       "second: 457 of 2026-08-24)"));
  ASSERT_EQ(report.sources.size(), 3u);
  EXPECT_THAT(report.sources[0].disagreed, ElementsAre("2026226"));
  EXPECT_EQ(report.sources[1].newest, "2026226");
  EXPECT_THAT(report.sources[2].failure, HasSubstr("connection refused"));
  const std::string section = SourcesSection(store.ReadOwn(error).back(), BeijingNow(), report);
  EXPECT_THAT(section, HasSubstr("第 2026226 期各来源说法不一"));
  std::filesystem::remove_all(folder);
}

TEST(UpstreamTest, RoundsComeInTheEveningUntilTheDrawArrivedAndFailuresBackOff) {
  using std::chrono::hours;
  using std::chrono::minutes;
  const auto at = [](int day, int hour, int minute) {
    return BeijingTime{std::chrono::sys_days{std::chrono::year{2026} / 12 / day}} + hours(hour) +
           minutes(minute);
  };
  const std::chrono::seconds spread = minutes(4);
  const std::chrono::seconds poll = minutes(12);
  struct Case {
    BeijingTime now;
    bool up_to_date;
    BeijingTime next;
  };
  const Case cases[] = {
      {at(9, 9, 0), false, at(9, 21, 34)},  // started in the day: next in the evening
      {at(9, 9, 0), true, at(9, 21, 34)},
      {at(9, 21, 34), false, at(9, 21, 46)},   // polling until the draw arrived
      {at(9, 21, 46), true, at(10, 21, 34)},   // then nothing more that day
      {at(9, 23, 55), false, at(10, 21, 34)},  // nor after midnight
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextRound(c.now, c.up_to_date, spread, poll), c.next)
        << MinuteText(c.now) << " " << c.up_to_date;
  }
  const std::pair<int, int> back_offs[] = {{1, 1}, {3, 4}, {7, 64}, {30, 240}};
  for (const auto& [failures, wait] : back_offs) {
    EXPECT_EQ(BackOff(failures), minutes(wait)) << failures;
  }
}

}  // namespace
}  // namespace zelkor::service
