#include "draw_service/history/draw_source.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST(DrawSourceTest, TellsTheFormatsApartAndRefusesBadRowsOneByOne) {
  struct Case {
    std::string text;
    std::vector<std::string> draws;
    std::vector<int> refused_lines;
    std::string error_part;
  };
  const Case cases[] = {
      {"issue,date,digits\r\n2026225,2026-08-23,123\r\n", {"2026225 2026-08-23 123"}, {}, ""},
      {"\xEF\xBB\xBFissue,date,digits\n2026225,2026-08-23,123\n",
       {"2026225 2026-08-23 123"},
       {},
       ""},
      {"issue,date,digits\n2026225,2026-02-30,123\n2026226,2026-08-24,12\n\n2026227,2026-08-25,"
       "001\n",
       {"2026227 2026-08-25 001"},
       {2, 3},
       ""},
      {"<?xml version=\"1.0\"?>\n<xml>\n" + Row("2026226", "4,5,6", "2026-08-24") +
           Row("2026225", "1,2,3", "2026-08-23") + "</xml>\n",
       {"2026226 2026-08-24 456", "2026225 2026-08-23 123"},
       {},
       ""},
      {"<xml>\n" + Row("2026226", "4,56,", "2026-08-24") + Row("2026225", "1,2,3", "23.08.2026") +
           Row("2025225", "1,2,3", "2026-08-23") + Row("2026224", "8,6,2", "2026-08-22"),
       {"2026224 2026-08-22 862"},
       {2, 3, 4},
       ""},
      {"issue,date,digits\n", {}, {}, "no draw"},
      {"<html><body><h1>503 Service Unavailable</h1></body></html>", {}, {}, "neither"},
      {std::string("\x00\xff garbage <row expect=\"", 22), {}, {}, "neither"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const DrawSource source = ReadDrawSource(c.text);
    std::vector<HistoryDraw> draws;
    for (const OfferedDraw& offered : source.draws) draws.push_back(offered.draw);
    EXPECT_EQ(Lines(draws), c.draws);
    std::vector<int> refused;
    for (const RefusedRow& row : source.refused) refused.push_back(row.line);
    EXPECT_EQ(refused, c.refused_lines);
    if (c.error_part.empty()) {
      EXPECT_EQ(source.error, "");
    } else {
      EXPECT_THAT(source.error, HasSubstr(c.error_part));
    }
  }
}

}  // namespace
}  // namespace zelkor::service
