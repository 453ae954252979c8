#include "draw_service/serve/routes.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

class DrawServiceRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents_.Publish(
        Draws("issue,date,digits\n2026223,2026-08-21,948\n2026224,2026-08-22,007\n"));
    AddRoutes(server_, documents_, [this](const std::string& line) {
      std::lock_guard lock(log_mutex_);
      log_.push_back(line);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  void TearDown() override {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }
  std::string Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }

  DocumentHolder documents_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex log_mutex_;
  std::vector<std::string> log_;
};

TEST_F(DrawServiceRoutesTest, ServesTheListTheVersionRecordAndTheStartupPage) {
  const std::vector<DrawRecord> rows = ParseDrawList(HttpFetch(Url(kDrawListPath)));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].issue, "2026224");
  EXPECT_EQ(rows[0].digits, "007");
  EXPECT_EQ(HttpFetch(Url(VersionRecordPath())), "1.1");
  const Bytes page = HttpFetch(Url(StartPagePath()));
  EXPECT_NE(page.find("charset=\"utf-8\""), std::string::npos);
  EXPECT_NE(page.find("共 2 期开奖(2026223 期至 2026224 期)"), std::string::npos);

  // A request is logged after its answer was sent, on the thread that
  // answered it, so the lines may come in any order; once the server has
  // stopped, every answered request is in the log.
  TearDown();
  std::lock_guard lock(log_mutex_);
  EXPECT_THAT(log_, ::testing::UnorderedElementsAreArray(std::vector<std::string>{
                        "GET " + std::string(kDrawListPath) + " 200",
                        "GET " + std::string(VersionRecordPath()) + " 200",
                        "GET " + std::string(StartPagePath()) + " 200",
                    }));
}

// The newest draw's age changes at midnight: a page built the day before is
// built again, and the draw list is not.
TEST_F(DrawServiceRoutesTest, StartupPageCountsTheAgeFromTheDayOfTheRequest) {
  const auto age_on = [this](const char* today) {
    setenv("ZELKOR_TODAY", today, 1);
    const Bytes page = HttpFetch(Url(StartPagePath()));
    unsetenv("ZELKOR_TODAY");
    const std::string_view kAge = "距今";
    const size_t at = page.find(kAge);
    if (at == Bytes::npos) return std::string("none");
    const size_t digits = at + kAge.size();
    return page.substr(digits, page.find_first_not_of("0123456789", digits) - digits);
  };
  EXPECT_EQ(age_on("2026-08-23"), "1");
  EXPECT_EQ(age_on("2026-08-23"), "1");
  EXPECT_EQ(age_on("2026-08-26"), "4");
}

TEST_F(DrawServiceRoutesTest, AnswersOtherPathsWithNotFound) {
  httplib::Client client("127.0.0.1", port_);
  const httplib::Result result = client.Get("/static/info/kaijiang/xml/sd/list11.xml");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 404);
}

}  // namespace
}  // namespace zelkor::service
