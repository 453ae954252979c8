// Upstreams of every kind, sound and hostile, against a store of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw_service/draw_store.h"
#include "draw_service/upstream.h"
#include "draws/draws.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace zelkor::service {
namespace {

using test_support::LoopbackServer;
using test_support::RawServer;
using test_support::SilentServer;
using ::testing::HasSubstr;

std::string Row(std::string_view issue, std::string_view opencode, std::string_view date) {
  return "<row expect=\"" + std::string(issue) + "\" opencode=\"" + std::string(opencode) +
         "\" opentime=\"" + std::string(date) + " 21:15:00\" trycode=\"\" tryinfo=\"\" />\n";
}

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
      {"/huge", LoopbackServer::Reply("issue,date,digits\n" + std::string(kMaxBodyBytes, '#'))},
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

}  // namespace
}  // namespace zelkor::service
