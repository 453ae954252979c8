#include "draw_service/history/draw_list.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

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

}  // namespace
}  // namespace zelkor::service
