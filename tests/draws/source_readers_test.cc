#include "draws/source_readers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zelkor {
namespace {

using Draws = std::vector<SourceDraw>;
using ::testing::StartsWith;

const Draws kTwoDraws = {{"2026224", "2026-08-22", "862"}, {"2026223", "2026-08-21", "948"}};
const std::string kBom = "\xEF\xBB\xBF";
// 试机号 and 查询成功 in GBK: text fields a reader does not use.
const std::string kGbkTrial = "\xCA\xD4\xBB\xFA\xBA\xC5";
const std::string kGbkDone = "\xB2\xE9\xD1\xAF\xB3\xC9\xB9\xA6";
const std::string kHtml200 =
    "<!DOCTYPE html>\n<html><head><title>403</title></head><body>访问受限</body></html>";

struct Case {
  std::string name;
  std::string body;
  Draws draws;          // when read
  std::string refusal;  // the refusal's start, when refused
};

void ExpectReadings(const std::function<SourceReading(std::string_view)>& read,
                    const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const SourceReading reading = read(c.body);
    if (c.refusal.empty()) {
      EXPECT_EQ(reading.refusal, "") << c.name;
      EXPECT_EQ(reading.draws, c.draws) << c.name;
    } else {
      EXPECT_THAT(reading.refusal, StartsWith(c.refusal)) << c.name;
      EXPECT_TRUE(reading.draws.empty()) << c.name;
    }
  }
}

std::string XmlRow(const std::string& issue, const std::string& code, const std::string& time) {
  return "<row expect=\"" + issue + "\" opencode=\"" + code + "\" opentime=\"" + time +
         "\" trycode=\"5,1,9\" tryinfo=\"" + kGbkTrial + "\" />\n";
}

TEST(SourceReadersTest, DrawListXml) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<xml>\n";
  const std::string newest = XmlRow("2026224", "8,6,2", "2026-08-22 21:15:00");
  const std::string list = head + newest + XmlRow("2026223", "9,4,8", "2026-08-21 21:15:00");
  const std::string sample = list + "</xml>\n";
  ExpectReadings(
      ReadDrawListXml,
      {
          {"sample", sample, kTwoDraws, ""},
          {"with a BOM", kBom + sample, kTwoDraws, ""},
          {"HTML answered 200", kHtml200, {}, "not a draw list: an HTML page"},
          {"empty", "", {}, "empty answer"},
          {"no rows", head + "</xml>", {}, "not a draw list: no rows"},
          {"cut inside a row", list.substr(0, list.size() - 30), {}, "row 2 cannot be read"},
          {"a row missing an attribute",
           head + "<row expect=\"2026224\" opencode=\"8,6,2\" />\n" + newest,
           {},
           "row 1: bad digits"},
          {"bad digits",
           head + XmlRow("2026224", "8,6,X", "2026-08-22 21:15:00"),
           {},
           "row 1: bad digits \"8,6,X\""},
          {"no such day",
           head + XmlRow("2026224", "8,6,2", "2026-02-30 21:15:00"),
           {},
           "row 1: bad date \"2026-02-30 21:15:00\""},
          {"issue of another year",
           head + XmlRow("2026224", "8,6,2", "2025-08-22"),
           {},
           "row 1: issue 2026224 dated 2025-08-22"},
          {"a bad row after good ones",
           head + newest + XmlRow("202622", "9,4,8", "2026-08-21 21:15:00"),
           {},
           "row 2: bad issue \"202622\""},
      });
}

TEST(SourceReadersTest, Text17500) {
  const std::string sample =
      "2026224 2026-08-22 8 6 2 5 1 9 0 106919648 120300000\n"
      "2026223 2026-08-21 9 4 8 0 3 3 2 105412380\r\n"
      "2026222 2026-08-20 3 8 0\n"
      "this line is never read\n";
  const Draws three = {kTwoDraws[0], kTwoDraws[1], {"2026222", "2026-08-20", "380"}};
  const auto read = [](size_t most) {
    return [most](std::string_view body) { return Read17500Text(body, most); };
  };
  ExpectReadings(
      read(3),
      {
          {"sample", sample, three, ""},
          {"with a BOM", kBom + sample, three, ""},
          {"blank lines and tabs", "\n2026224\t2026-08-22\t8\t6\t2\n\n", {kTwoDraws[0]}, ""},
          {"HTML answered 200", kHtml200, {}, "not a draw list: an HTML page"},
          {"empty", "\r\n", {}, "empty answer"},
          {"cut inside a line", sample.substr(0, 120), {}, "line 3: fewer than five fields"},
          {"missing fields", "2026224 2026-08-22 8 6\n", {}, "line 1: fewer than five fields"},
          {"a two-digit field", "2026224 2026-08-22 8 6 12\n", {}, "line 1: bad digits \"8,6,12\""},
      });
  ExpectReadings(read(2), {{"the first lines only", sample, kTwoDraws, ""}});
}

TEST(SourceReadersTest, CwlJson) {
  const std::string rows =
      R"j([{"name":"3D","code":"2026224","detailsLink":"/c/2026/08/22/1.shtml",)j"
      R"j("date":"2026-08-22(六)","week":"六","red":"8,6,2","sales":"106919648"},)j"
      R"j({"name":"3D","code":"2026223","date":"2026-08-21(五)","red":"9,4,8"}])j";
  const std::string sample =
      R"j({"state":0,"message":"查询成功","total":2,"result":)j" + rows + "}";
  ExpectReadings(
      ReadCwlJson,
      {
          {"sample", sample, kTwoDraws, ""},
          {"with a BOM", kBom + sample, kTwoDraws, ""},
          {"GBK text", R"j({"state":0,"message":")j" + kGbkDone + R"j(","result":)j" + rows + "}",
           kTwoDraws, ""},
          {"no cookie", R"j({"status":0,"message":null})j", {}, "refused by the source: status 0"},
          {"a failing state",
           R"j({"state":1,"message":"busy","result":[]})j",
           {},
           "refused by the source: state 1"},
          {"HTML answered 200", kHtml200, {}, "not a draw list: an HTML page"},
          {"cut short",
           sample.substr(0, sample.size() - 20),
           {},
           "not a draw list: unreadable JSON"},
          {"empty", "", {}, "empty answer"},
          {"no draws", R"j({"state":0,"result":[]})j", {}, "no draws in the answer"},
          {"a row without digits",
           R"j({"state":0,"result":[{"name":"3D","code":"2026224","date":"2026-08-22(六)"}]})j",
           {},
           "row 1: no text \"red\""},
          {"another game",
           R"j({"state":0,"result":[{"name":"ssq","code":"2026224","date":"2026-08-22(六)",)j"
           R"j("red":"01,06,11,19,24,33"}]})j",
           {},
           "row 1: a draw of \"ssq\""},
      });
}

TEST(SourceReadersTest, ZhcwJsonp) {
  const std::string json =
      R"j({"resCode":"000000","message":"查询成功","total":2,"pageNum":1,"data":[)j"
      R"j({"issue":"2026224","openTime":"2026-08-22","frontWinningNum":"8 6 2","week":"六"},)j"
      R"j({"issue":"2026223","openTime":"2026-08-21 21:15:00","frontWinningNum":"948"}]})j";
  ExpectReadings(
      ReadZhcwJsonp,
      {
          {"named callback", "CB(" + json + ");", kTwoDraws, ""},
          {"unexpected callback", "jQuery1830925_1755868800000 (" + json + ")\n", kTwoDraws, ""},
          {"no callback", kBom + json, kTwoDraws, ""},
          {"refused without Referer",
           R"j(CB({"resCode":"9998","message":"非法请求"}))j",
           {},
           "refused by the source: resCode 9998"},
          {"HTML answered 200", kHtml200, {}, "not a draw list: an HTML page"},
          {"cut short", "CB(" + json.substr(0, 80), {}, "not a draw list: unreadable JSON"},
          {"not a call", "alert('x');", {}, "not a draw list: unreadable JSON"},
          {"empty", " ", {}, "empty answer"},
          {"no data", R"j({"resCode":"000000"})j", {}, "not a draw list: no data"},
          {"two digits",
           R"j({"data":[{"issue":"2026224","openTime":"2026-08-22","frontWinningNum":"8 6"}]})j",
           {},
           "row 1: bad digits \"8 6\""},
      });
}

}  // namespace
}  // namespace zelkor
