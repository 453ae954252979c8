#include "draw_service/history/history_file.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

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

}  // namespace
}  // namespace zelkor::service
