#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draws/draws.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"
#include "ui/memory_ui.h"

namespace zelkor {
namespace {

using test_support::LoopbackServer;
using test_support::RawServer;
using test_support::RefusingPort;

std::string Row(std::string_view expect, std::string_view opencode) {
  return TextJoin("<row expect=\"", expect, "\" opencode=\"", opencode,
                  "\" opentime=\"2024-05-05 21:15:00\" trycode=\"1,2,3\" tryinfo=\"\" />\r\n");
}

const std::string kDocument = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<xml>\r\n" +
                              Row("2024123", "3,5,8") + Row("2024122", "0,0,7") +
                              Row("2024121", "9,1,4") + "</xml>\r\n";

// Every row of the list as {issue, digits}.
std::vector<std::vector<Text>> ListedRows(MemoryUi& ui) {
  std::vector<std::vector<Text>> rows;
  for (int32_t row = 0; row < ui.RowCount(ctl::超级列表框1); ++row) {
    rows.push_back(
        {ui.GetCellText(ctl::超级列表框1, row, 0), ui.GetCellText(ctl::超级列表框1, row, 1)});
  }
  return rows;
}

using Rows = std::vector<std::vector<Text>>;

TEST(DrawHistoryTest, AddressIsTheDrawListPathOnTheHost) {
  EXPECT_EQ(DrawListAddress("draws.example.com"),
            "http://draws.example.com/static/info/kaijiang/xml/sd/list10.xml");
}

TEST(DrawHistoryTest, ListsEveryDrawAndShowsTheFirstDigits) {
  LoopbackServer service(
      {{std::string(kDrawListPath), LoopbackServer::Reply(kDocument, 200, "text/xml")}});
  MemoryUi ui;
  LoadDrawHistory(ui, service.Url(kDrawListPath));

  EXPECT_EQ(ui.calls(),
            (std::vector<std::string>{
                "AppendRow(超级列表框1)", "SetCellText(超级列表框1)", "SetCellText(超级列表框1)",
                "AppendRow(超级列表框1)", "SetCellText(超级列表框1)", "SetCellText(超级列表框1)",
                "AppendRow(超级列表框1)", "SetCellText(超级列表框1)", "SetCellText(超级列表框1)",
                "GetCellText(超级列表框1)", "SetBoxText(编辑框1)"}));
  EXPECT_EQ(ListedRows(ui), (Rows{{"2024123", "358"}, {"2024122", "007"}, {"2024121", "914"}}));
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "358");
  EXPECT_EQ(service.requested_paths(), std::vector<std::string>{std::string(kDrawListPath)});
}

TEST(DrawHistoryTest, NoAnswerLeavesTheListAndTheBoxEmpty) {
  RefusingPort refusing;
  MemoryUi ui;
  ui.SetBoxText(ctl::编辑框1, "old");
  LoadDrawHistory(ui, refusing.Url(kDrawListPath));

  EXPECT_EQ(ui.RowCount(ctl::超级列表框1), 0);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "");
  EXPECT_TRUE(ui.messages().empty());
}

TEST(DrawHistoryTest, ErrorPageListsNothing) {
  LoopbackServer service({{"/other", LoopbackServer::Reply("x")}});
  MemoryUi ui;
  LoadDrawHistory(ui, service.Url(kDrawListPath));  // answered with 404

  EXPECT_EQ(ui.RowCount(ctl::超级列表框1), 0);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "");
}

TEST(DrawHistoryTest, ZeroByteEndsTheDocument) {
  const std::string body = Row("2", "1,1,1") + std::string(1, '\0') + Row("1", "2,2,2");
  LoopbackServer service({{std::string(kDrawListPath), LoopbackServer::Reply(body)}});
  MemoryUi ui;
  LoadDrawHistory(ui, service.Url(kDrawListPath));

  EXPECT_EQ(ListedRows(ui), (Rows{{"2", "111"}}));
}

TEST(DrawHistoryTest, TransferCutShortListsTheCompleteRows) {
  const std::string received = Row("2", "1,1,1") + Row("1", "2,2,2") + "<row expect=\"0\" open";
  RawServer service("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + received);
  MemoryUi ui;
  LoadDrawHistory(ui, service.Url(kDrawListPath));

  EXPECT_EQ(ListedRows(ui), (Rows{{"2", "111"}, {"1", "222"}}));
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "111");
}

TEST(DrawHistoryTest, ClickShowsTheSelectedDrawsDigits) {
  LoopbackServer service({{std::string(kDrawListPath), LoopbackServer::Reply(kDocument)}});
  MemoryUi ui;
  LoadDrawHistory(ui, service.Url(kDrawListPath));

  struct Case {
    int32_t row;
    Text shown;
  };
  const Case cases[] = {{2, "914"}, {0, "358"}, {1, "007"}, {-1, ""}, {3, ""}};
  for (const Case& c : cases) {
    ui.SelectRow(c.row);
    ui.ClearCalls();
    ShowSelectedDraw(ui);
    EXPECT_EQ(ui.calls(),
              (std::vector<std::string>{"SelectedRow(超级列表框1)", "GetCellText(超级列表框1)",
                                        "SetBoxText(编辑框1)"}))
        << c.row;
    EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), c.shown) << c.row;
  }
}

TEST(DrawHistoryTest, ClickOnAnEmptyListEmptiesTheBox) {
  MemoryUi ui;
  ui.SetBoxText(ctl::编辑框1, "358");
  ShowSelectedDraw(ui);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "");
}

}  // namespace
}  // namespace zelkor
