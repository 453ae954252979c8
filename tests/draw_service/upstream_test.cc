// Upstreams of every kind, sound and hostile, against a store of its own.
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

class UpstreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(::testing::TempDir()) / "upstream-store";
    std::filesystem::remove_all(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string StoreText() const {
    std::ifstream file(folder_ / kStoreFileName, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  DrawStore Store() const {
    return DrawStore({{"2026223", "2026-08-21", "948"}, {"2026224", "2026-08-22", "862"}}, folder_);
  }
  std::filesystem::path folder_;
};

TEST_F(UpstreamTest, EveryKindAddsOnlySoundDraws) {
  const std::string list = "<xml>\n" + Row("2026226", "4,5,6", "2026-08-24") +
                           Row("2026225", "1,2,3", "2026-08-23") + "</xml>\n";
  const std::string csv = "issue,date,digits\n2026227,2026-08-25,789\n2026228,2026-02-30,000\n";
  const std::string conflicting =
      "issue,date,digits\n2026229,2026-08-27,111\n2026224,2026-08-22,000\n";
  LoopbackServer http({
      {"/list.xml", LoopbackServer::Reply(list)},
      {"/draws.csv", LoopbackServer::Reply(csv)},
      {"/conflict.csv", LoopbackServer::Reply(conflicting)},
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

  const DrawStore store = Store();
  struct Case {
    std::string url;
    bool succeeds;
    std::string log_part;
  };
  const Case cases[] = {
      {http.Url("/list.xml"), true, "added draw 2026226 of 2026-08-24: 456"},
      {http.Url("/draws.csv"), true, "line 3 refused: date '2026-02-30'"},
      {http.Url("/conflict.csv"), false,
       "conflict on draw 2026224: held as 862, the upstream says 000"},
      {http.Url("/error.html"), false, "neither a draw list nor a history CSV"},
      {http.Url("/garbage"), false, "neither"},
      {http.Url("/huge"), false, "not used"},
      {https.Url("/down"), false, "not used"},
      {trickle.Url("/"), false, "not used"},
      {silent.Url("/"), false, "not used"},
      {"http://127.0.0.1:1/", false, "connection refused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    std::vector<std::string> log;
    EXPECT_EQ(UpdateFrom(c.url, store, options, [&log](const std::string& l) { log.push_back(l); }),
              c.succeeds);
    EXPECT_THAT(log, ::testing::Contains(HasSubstr(c.log_part)));
  }
  // The list's and the CSV's sound draws, nothing of the conflicting answer,
  // the redirect's target not reached from https.
  EXPECT_EQ(StoreText(),
            "issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,456\n"
            "2026227,2026-08-25,789\n");
}

TEST(ScheduleTest, AsksEveryIntervalAfterTheEveningDrawAndBacksOff) {
  using namespace std::chrono;
  const auto at = [](int day, int hour, int minute) {
    return system_clock::time_point(sys_days{year{2026} / 12 / day} + hours(hour) +
                                    minutes(minute));
  };
  struct Case {
    system_clock::time_point last;
    int failures;
    system_clock::time_point next;
  };
  const Case cases[] = {
      {at(9, 1, 0), 0, at(9, 1, 30)},     // every half hour
      {at(9, 13, 10), 0, at(9, 13, 30)},  // 21:30 in Beijing comes first
      {at(9, 13, 30), 0, at(9, 14, 0)},
      {at(9, 1, 0), 1, at(9, 1, 1)},  // back-off: 1, 2, 4 ... minutes
      {at(9, 1, 0), 3, at(9, 1, 4)},
      {at(9, 1, 0), 7, at(9, 2, 4)},
      {at(9, 2, 0), 30, at(9, 6, 0)},  // at most four hours
      {at(9, 12, 0), 30, at(9, 13, 30)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextAttempt(c.last, c.failures, kUpdateInterval), c.next)
        << c.failures << " failures after "
        << duration_cast<minutes>(c.last.time_since_epoch()).count();
  }
}

}  // namespace
}  // namespace zelkor::service
