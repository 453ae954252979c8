#include "sample_service/sample_service.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "draws/draws.h"

namespace zelkor::sample {
namespace {

std::vector<std::string> RowLines(const std::string& document) {
  std::vector<std::string> rows;
  std::istringstream lines(document);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("<row", 0) == 0) rows.push_back(line);
  }
  return rows;
}

TEST(SampleDrawListTest, EveryRowHasTheServiceFormAndIsListed) {
  const std::string& document = SampleDrawList();
  const std::vector<std::string> rows = RowLines(document);
  ASSERT_EQ(rows.size(), static_cast<size_t>(kSampleDrawCount));
  ASSERT_GE(rows.size(), 300u);
  const std::regex form(
      R"re(<row expect="(\d{4})(\d{3})" opencode="(\d),(\d),(\d)" )re"
      R"re(opentime="(\d{4})-\d{2}-\d{2} 21:15:00" trycode="\d,\d,\d" tryinfo="[^"]*" />)re");
  for (const std::string& row : rows) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(row, m, form)) << row;
    EXPECT_EQ(m[1].str(), m[6].str()) << "issue year differs from the draw's year: " << row;
    EXPECT_NE(m[2].str(), "000") << row;
  }
  const std::vector<DrawRecord> draws = ParseDrawList(document);
  ASSERT_EQ(draws.size(), rows.size());
}

TEST(SampleDrawListTest, IsNewestFirstWithConsecutiveIssuesPerYear) {
  const std::vector<DrawRecord> draws = ParseDrawList(SampleDrawList());
  ASSERT_FALSE(draws.empty());
  for (size_t i = 1; i < draws.size(); ++i) {
    const int newer = std::stoi(draws[i - 1].issue);
    const int older = std::stoi(draws[i].issue);
    if (newer / 1000 == older / 1000) {
      EXPECT_EQ(newer, older + 1) << i;
    } else {
      // A new year starts at its first draw, right after the old year's last.
      EXPECT_EQ(newer / 1000, older / 1000 + 1) << i;
      EXPECT_EQ(newer % 1000, 1) << i;
      EXPECT_GE(older % 1000, 365) << i;
    }
  }
}

TEST(SampleDrawListTest, DigitsSpreadOverAllTen) {
  std::array<int, 10> counts{};
  for (const DrawRecord& draw : ParseDrawList(SampleDrawList())) {
    ASSERT_EQ(draw.digits.size(), 3u) << draw.issue;
    for (const char digit : draw.digits) {
      ASSERT_TRUE(digit >= '0' && digit <= '9') << draw.issue;
      ++counts[static_cast<size_t>(digit - '0')];
    }
  }
  // 1200 digits: about 120 of each. Far outside this a mapping is broken.
  for (size_t d = 0; d < counts.size(); ++d) {
    EXPECT_GT(counts[d], 70) << d;
    EXPECT_LT(counts[d], 170) << d;
  }
}

class SampleServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddSampleRoutes(server_, [this](const std::string& line) {
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

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex log_mutex_;
  std::vector<std::string> log_;
};

TEST_F(SampleServiceTest, ServesTheListTheVersionRecordAndTheStartupPage) {
  EXPECT_EQ(HttpFetch(Url(kDrawListPath)), SampleDrawList());
  EXPECT_EQ(HttpFetch(Url(SampleVersionRecordPath())), "1.1");
  const Bytes page = HttpFetch(Url(SampleStartupPagePath()));
  EXPECT_NE(page.find("<html"), std::string::npos);
  EXPECT_NE(page.find("charset=\"utf-8\""), std::string::npos);

  // A request is logged after its answer was sent; once the server has
  // stopped, every answered request is in the log.
  TearDown();
  std::lock_guard lock(log_mutex_);
  EXPECT_EQ(log_, (std::vector<std::string>{
                      "GET " + std::string(kDrawListPath) + " 200",
                      "GET " + std::string(SampleVersionRecordPath()) + " 200",
                      "GET " + std::string(SampleStartupPagePath()) + " 200",
                  }));
}

TEST_F(SampleServiceTest, AnswersOtherPathsWithNotFound) {
  httplib::Client client("127.0.0.1", port_);
  const httplib::Result result = client.Get("/static/info/kaijiang/xml/sd/list11.xml");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 404);
}

}  // namespace
}  // namespace zelkor::sample
