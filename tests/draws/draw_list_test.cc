#include <gtest/gtest.h>
#include <boost/regex.hpp>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

using Draws = std::vector<DrawRecord>;

// A well-formed row element, as the draw-data service writes them.
std::string Row(std::string_view expect, std::string_view opencode) {
  return TextJoin("<row expect=\"", expect, "\" opencode=\"", opencode,
                  "\" opentime=\"2024-05-05 21:15:00\" trycode=\"\" tryinfo=\"\" />\n");
}

const std::string kRowStart = "<row expect=\"";

std::string Repeat(std::string_view piece, size_t times) {
  std::string repeated;
  repeated.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) repeated.append(piece);
  return repeated;
}

// What Boost.Regex finds on its own, searching the whole document.
Draws RegexMatches(const std::string& document) {
  const boost::regex row(kDrawRowPattern.begin(), kDrawRowPattern.end(),
                         boost::regex::perl | boost::regex::mod_s);
  Draws draws;
  for (boost::sregex_iterator it(document.begin(), document.end(), row), end; it != end; ++it) {
    draws.push_back({(*it)[1].str(), (*it)[2].str() + (*it)[3].str() + (*it)[4].str()});
  }
  return draws;
}

// Every part of every row, opentime included.
using Rows = std::vector<std::array<std::string, 5>>;

std::array<std::string, 5> Parts(const DrawRow& row) {
  return {std::string(row.issue), std::string(row.hundreds), std::string(row.tens),
          std::string(row.units), std::string(row.opentime)};
}

// The rows a DrawRowReader lists from the document handed over in pieces of
// random sizes, empty ones included.
Rows ReadInPieces(std::string_view document, std::mt19937& random) {
  Rows rows;
  DrawRowReader reader([&rows](const DrawRow& row) { rows.push_back(Parts(row)); });
  std::uniform_int_distribution<size_t> size(0, 24);
  for (size_t at = 0; at < document.size();) {
    const size_t count = std::min(size(random), document.size() - at);
    reader.Add(document.substr(at, count));
    at += count;
  }
  return rows;
}

TEST(DrawListTest, PatternIsTheFixedNinetyFourCharacters) {
  EXPECT_EQ(kDrawRowPattern.size(), 94u);
  EXPECT_TRUE(kDrawRowPattern.starts_with("<row expect=\"(.*?)\""));
  EXPECT_TRUE(kDrawRowPattern.ends_with("tryinfo=\".*?\" />"));
}

TEST(DrawListTest, ListsEveryRowInDocumentOrder) {
  const std::string document = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<xml>\r\n" +
                               Row("2024123", "3,5,8") + Row("2024122", "1,2,3") +
                               Row("2024121", "9,9,0") + "</xml>\r\n";
  EXPECT_EQ(ParseDrawList(document),
            (Draws{{"2024123", "358"}, {"2024122", "123"}, {"2024121", "990"}}));
}

TEST(DrawListTest, DigitsKeepLeadingZeros) {
  EXPECT_EQ(ParseDrawList(Row("2024001", "0,0,7")), (Draws{{"2024001", "007"}}));
}

TEST(DrawListTest, DocumentWithoutRowsGivesNoDraws) {
  EXPECT_EQ(ParseDrawList(""), Draws{});
  EXPECT_EQ(ParseDrawList("<html><body>404 Not Found</body></html>"), Draws{});
  EXPECT_EQ(ParseDrawList(kRowStart), Draws{});
}

// Each case puts one odd row element before two well-formed ones, B and C.
TEST(DrawListTest, OddRowElements) {
  const std::string b = Row("B", "4,5,6");
  struct Case {
    std::string name;
    std::string odd;
    Draws draws;
  };
  const Case cases[] = {
      // The match runs on to B's trycode, so B is swallowed.
      {"missing trycode",
       "<row expect=\"A\" opencode=\"1,2,3\" opentime=\"t\" tryinfo=\"\" />\n",
       {{"A", "123"}, {"C", "789"}}},
      {"no blank before />",
       "<row expect=\"A\" opencode=\"1,2,3\" opentime=\"t\" trycode=\"\" tryinfo=\"\"/>\n",
       {{"A", "123"}, {"C", "789"}}},
      // Group 3 runs on to B's first comma, group 4 to B's opentime.
      {"one comma in opencode",
       "<row expect=\"A\" opencode=\"1,2\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n",
       {{"A",
         "1"
         "2\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n<row expect=\"B\" opencode=\"4"
         "5,6"},
        {"C", "789"}}},
      // Group 2 runs on to B's first comma.
      {"no comma in opencode",
       "<row expect=\"A\" opencode=\"5\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n",
       {{"A",
         "5\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n<row expect=\"B\" opencode=\"4"
         "5"
         "6"},
        {"C", "789"}}},
      {"extra attribute before opencode",
       "<row expect=\"A\" kind=\"x\" opencode=\"1,2,3\" opentime=\"t\" trycode=\"\" tryinfo=\"\" "
       "/>\n",
       {{"A\" kind=\"x", "123"}, {"B", "456"}, {"C", "789"}}},
      {"first attribute not expect",
       "<row opencode=\"1,2,3\" expect=\"A\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n",
       {{"B", "456"}, {"C", "789"}}},
      {"element name in capitals",
       "<ROW expect=\"A\" opencode=\"1,2,3\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n",
       {{"B", "456"}, {"C", "789"}}},
      // The issue runs on to B's opencode.
      {"attribute name in capitals",
       "<row expect=\"A\" OPENCODE=\"1,2,3\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n",
       {{"A\" OPENCODE=\"1,2,3\" opentime=\"t\" trycode=\"\" tryinfo=\"\" />\n<row expect=\"B",
         "456"},
        {"C", "789"}}},
      {"four parts in opencode", Row("A", "1,2,3,4"), {{"A", "123,4"}, {"B", "456"}, {"C", "789"}}},
      {"line break in a value",
       Row("20\r\n24", "1,2,3"),
       {{"20\r\n24", "123"}, {"B", "456"}, {"C", "789"}}},
      {"empty values", Row("", ",,"), {{"", ""}, {"B", "456"}, {"C", "789"}}},
      {"entities stay as written",
       Row("&amp;1", "1,2,3"),
       {{"&amp;1", "123"}, {"B", "456"}, {"C", "789"}}},
      {"GBK bytes stay as written",
       Row(Gbk("第1期"), "1,2,3"),
       {{Gbk("第1期"), "123"}, {"B", "456"}, {"C", "789"}}},
  };
  for (const Case& c : cases) {
    const std::string document = c.odd + b + Row("C", "7,8,9");
    EXPECT_EQ(ParseDrawList(document), c.draws) << c.name;
    EXPECT_EQ(ParseDrawList(document), RegexMatches(document)) << c.name;
  }
}

TEST(DrawListTest, KeepsRowsBeforeAMebibyteOfRowStartsThatNeverComplete) {
  const std::string document =
      Row("2024002", "1,2,3") + Row("2024001", "4,5,6") + Repeat(kRowStart, (1 << 20) / 13);
  EXPECT_EQ(ParseDrawList(document), (Draws{{"2024002", "123"}, {"2024001", "456"}}));
}

TEST(DrawListTest, RowStartsRunOnToARowTailFarAway) {
  const size_t starts = (1 << 20) / 13;
  const std::string tail = R"(9" opencode="1,2,3" opentime="" trycode="" tryinfo="" />)";
  const std::string document = Row("2024002", "4,5,6") + Repeat(kRowStart, starts) + tail;
  // The match begins at the first row start and takes the rest as its issue.
  EXPECT_EQ(ParseDrawList(document),
            (Draws{{"2024002", "456"}, {Repeat(kRowStart, starts - 1) + "9", "123"}}));
}

TEST(DrawListTest, RowStartsRunOnIntoTheRowsAfterThem) {
  const size_t starts = (1 << 20) / 13;
  const std::string document =
      Repeat(kRowStart, starts) + Row("2024002", "4,5,6") + Row("2024001", "7,8,9");
  EXPECT_EQ(ParseDrawList(document),
            (Draws{{Repeat(kRowStart, starts) + "2024002", "456"}, {"2024001", "789"}}));
}

// Random documents from pieces of the pattern, compared with what Boost.Regex
// finds searching on its own (the documents are small enough for it), and
// read a piece at a time as with the whole document at once.
TEST(DrawListTest, AgreesWithTheRegexOnRandomDocuments) {
  const std::vector<std::string> pieces = {
      "<row expect=\"",
      "\" opencode=\"",
      ",",
      "\" opentime=\"",
      "\" trycode=\"",
      "\" tryinfo=\"",
      "\" />",
      "\"/>",
      "\"",
      " ",
      "<row",
      " expect=\"",
      "opencode",
      "1",
      "23",
      "\n",
      "<",
      "\" OPENCODE=\"",
      Row("7", "1,2,3"),
      Row("8", "4,5"),
      "\" opentime=\"\" trycode=\"",
  };
  std::mt19937 random(20240505);
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  size_t matched = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string document;
    for (int n = length(random); n > 0; --n) document += pieces[pick(random)];
    const Draws expected = RegexMatches(document);
    matched += expected.size();
    ASSERT_EQ(ParseDrawList(document), expected) << "document: " << document;
    Rows whole;
    ForEachDrawRow(document, [&whole](const DrawRow& row) { whole.push_back(Parts(row)); });
    ASSERT_EQ(ReadInPieces(document, random), whole) << "document: " << document;
  }
  EXPECT_GT(matched, 1000u);  // the documents did exercise matching
}

}  // namespace
}  // namespace zelkor
