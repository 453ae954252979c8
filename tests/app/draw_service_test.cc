#include "draw_service/draw_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "draw_service/history_file.h"
#include "draws/draws.h"

namespace zelkor::service {
namespace {

std::vector<HistoryDraw> Draws(std::string_view text) {
  auto parsed = ParseHistory(text);
  if (const auto* error = std::get_if<HistoryError>(&parsed)) {
    ADD_FAILURE() << "line " << error->line << ": " << error->reason;
    return {};
  }
  return std::get<std::vector<HistoryDraw>>(std::move(parsed));
}

// The shipped file read the plain way, line by line, without the header.
std::vector<std::string> ShippedLines() {
  std::ifstream file(ZELKOR_HISTORY_FILE);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

TEST(DrawServiceTest, ServesExactlyTheShippedRowsNewestFirst) {
  auto parsed = ReadHistoryFile(ZELKOR_HISTORY_FILE);
  ASSERT_TRUE(std::holds_alternative<std::vector<HistoryDraw>>(parsed));
  const std::string document = DrawListDocument(std::get<std::vector<HistoryDraw>>(parsed));
  const std::vector<std::string> lines = ShippedLines();
  ASSERT_EQ(lines.size(), 7731u);

  // The document as the program reads it: row k is the k-th line from the end.
  const std::vector<DrawRecord> rows = ParseDrawList(document);
  ASSERT_EQ(rows.size(), lines.size());
  for (size_t k = 0; k < rows.size(); ++k) {
    const std::string& line = lines[lines.size() - 1 - k];
    ASSERT_EQ(rows[k].issue + "," + line.substr(8, 10) + "," + rows[k].digits, line) << k;
  }
  EXPECT_EQ(rows.front().issue, "2026224");
  EXPECT_EQ(rows.back().issue, "2004001");
  EXPECT_NE(document.find("\n<row expect=\"2026224\" opencode=\"8,6,2\" opentime=\"2026-08-22 "
                          "21:15:00\" trycode=\"\" tryinfo=\"\" />\n"),
            std::string::npos);
}

TEST(DrawServiceTest, RefusesAMalformedHistoryNamingTheLine) {
  constexpr std::string_view kHeader = "issue,date,digits\n";
  constexpr std::string_view kGood = "2026223,2026-08-21,948\n";
  struct Case {
    std::string text;
    int line;
    std::string reason_part;
  };
  const Case cases[] = {
      {"", 1, "empty"},
      {"issue;date;digits\n", 1, "header"},
      {std::string(kHeader), 1, "no draw"},
      {std::string(kHeader) + "2026223,2026-08-21\n", 2, "three fields"},
      {std::string(kHeader) + "2026223,2026-08-21,948,1\n", 2, "three fields"},
      {std::string(kHeader) + "202622,2026-08-21,948\n", 2, "issue '202622'"},
      {std::string(kHeader) + "2026000,2026-08-21,948\n", 2, "issue '2026000'"},
      {std::string(kHeader) + "2026223,2026-02-30,948\n", 2, "date '2026-02-30'"},
      {std::string(kHeader) + "2026223,21.08.2026,948\n", 2, "date '21.08.2026'"},
      {std::string(kHeader) + "2025223,2026-08-21,948\n", 2, "year"},
      {std::string(kHeader) + "2026223,2026-08-21,94\n", 2, "digits '94'"},
      {std::string(kHeader) + "2026223,2026-08-21,9 8\n", 2, "digits '9 8'"},
      {std::string(kHeader) + std::string(kGood) + "\n2026224,2026-08-22,862\n", 3, "empty line"},
      {std::string(kHeader) + std::string(kGood) + std::string(kGood), 3, "does not come after"},
      {std::string(kHeader) + std::string(kGood) + "2026224,2026-08-20,862\n", 3, "is before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto parsed = ParseHistory(c.text);
    const auto* error = std::get_if<HistoryError>(&parsed);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->line, c.line);
    EXPECT_NE(error->reason.find(c.reason_part), std::string::npos) << error->reason;
  }
  // Windows line ends and a missing last line end are no faults.
  EXPECT_EQ(Draws("issue,date,digits\r\n2026223,2026-08-21,948\r\n2026224,2026-08-22,862").size(),
            2u);
}

TEST(DrawServiceTest, LatestKeepsTheNewestDraws) {
  const std::vector<HistoryDraw> draws = Draws(
      "issue,date,digits\n2026222,2026-08-20,380\n2026223,2026-08-21,948\n"
      "2026224,2026-08-22,862\n");
  const std::vector<DrawRecord> two = ParseDrawList(DrawListDocument(Latest(draws, 2)));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].issue, "2026224");
  EXPECT_EQ(two[1].issue, "2026223");
  EXPECT_EQ(Latest(draws, 5).size(), 3u);
}

TEST(DrawServiceTest, APublishLeavesTheDocumentsARequestHoldsAlone) {
  DocumentHolder holder;
  holder.Publish(Draws("issue,date,digits\n2026223,2026-08-21,948\n"));
  const std::shared_ptr<const ServedDocuments> held = holder.Current();
  EXPECT_EQ(holder.Current(), held);  // shared, not copied
  const std::string before = held->draw_list;
  holder.Publish(Draws("issue,date,digits\n2026224,2026-08-22,862\n"));
  EXPECT_EQ(held->draw_list, before);
  EXPECT_NE(holder.Current()->draw_list.find("2026224"), std::string::npos);
  EXPECT_NE(holder.Current()->startup_page.find("2026224期"), std::string::npos);
}

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
  const Bytes page = HttpFetch(Url(StartupPagePath()));
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
                        "GET " + std::string(StartupPagePath()) + " 200",
                    }));
}

// The newest draw's age changes at midnight: a page built the day before is
// built again, and the draw list is not.
TEST_F(DrawServiceRoutesTest, StartupPageCountsTheAgeFromTheDayOfTheRequest) {
  const auto age_on = [this](const char* today) {
    setenv("ZELKOR_TODAY", today, 1);
    const Bytes page = HttpFetch(Url(StartupPagePath()));
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
