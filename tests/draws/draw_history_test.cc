#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "draws/draws.h"
#include "runtime/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"
#include "tests/support/ui_fixtures.h"
#include "ui/memory_ui.h"

namespace zelkor {
namespace {

using test_support::LoopbackServer;
using test_support::RawServer;

std::string Row(std::string_view expect, std::string_view opencode) {
  return TextJoin("<row expect=\"", expect, "\" opencode=\"", opencode,
                  "\" opentime=\"2024-05-05 21:15:00\" trycode=\"1,2,3\" tryinfo=\"\" />\r\n");
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<xml>\r\n";
const std::string kDocument = kHead + Row("2024123", "3,5,8") + Row("2024122", "0,0,7") +
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

const Rows kDocumentRows = {{"2024123", "358"}, {"2024122", "007"}, {"2024121", "914"}};

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
  EXPECT_EQ(ListedRows(ui), kDocumentRows);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "358");
  EXPECT_EQ(service.requested_paths(), std::vector<std::string>{std::string(kDrawListPath)});
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

// --- Faults of the download ---
//
// Each row is one way the download can go wrong: what the list holds
// afterwards, what 编辑框1 shows, and that an analysis then runs over the list
// as it would in the window.

using std::chrono::milliseconds;
using std::chrono::seconds;

FetchOptions Bounds(seconds connect_timeout, seconds stall_timeout) {
  FetchOptions options;
  options.connect_timeout = connect_timeout;
  options.stall_timeout = stall_timeout;
  return options;
}

// Far above what a loopback exchange takes, yet short enough that a load
// waiting on one shows up as a failure rather than a hang.
FetchOptions TestBounds() { return Bounds(seconds(5), seconds(5)); }

// How much later than its bound a load that waits on one may end.
constexpr milliseconds kSlack = seconds(4);

// What serves one fault: the address to load, the server (kept alive until
// the row is done) and a check of what the server saw.
struct Served {
  std::string address;
  std::shared_ptr<void> server;
  std::function<void()> check_server = [] {};
};

struct Fault {
  std::string name;
  std::function<Served()> serve;
  Rows listed;
  Text box;  // 编辑框1 after the load
  FetchOptions options = TestBounds();
  bool trusts_test_authority = false;
  // The load waits at least and at most this long.
  milliseconds at_least{0};
  milliseconds at_most = seconds(20);
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

// A loopback service answering the draw-list path with `handler`; when
// `requests` is given, it must have seen that many requests.
std::function<Served()> Service(LoopbackServer::Handler handler,
                                LoopbackServer::Scheme scheme = LoopbackServer::Scheme::kHttp,
                                std::optional<size_t> requests = std::nullopt) {
  return [=] {
    auto server = std::make_shared<LoopbackServer>(
        std::map<std::string, LoopbackServer::Handler>{{std::string(kDrawListPath), handler}},
        scheme);
    Served served{server->Url(kDrawListPath), server};
    if (requests) {
      served.check_server = [server, count = *requests] {
        EXPECT_EQ(server->requested_paths().size(), count);
      };
    }
    return served;
  };
}

// kDocument up to the middle of the row of `issue`.
std::string CutInsideRow(std::string_view issue) {
  return kDocument.substr(0, kDocument.find(TextJoin("\"", issue, "\"")) + 4);
}

// A draw list longer than kMaxInputBytes: kDocument's first two rows, filler,
// its third row ending inside the limit, then a row across the limit and one
// past it.
std::shared_ptr<const std::string> OversizedDocument() {
  const std::string head = kHead + Row("2024123", "3,5,8") + Row("2024122", "0,0,7");
  const std::string last_kept = Row("2024121", "9,1,4");
  const std::string across = Row("2024120", "2,2,2");
  auto body = std::make_shared<std::string>(head);
  body->append(kMaxInputBytes - head.size() - last_kept.size() - across.size() / 2, ' ');
  body->append(last_kept).append(across).append(Row("2024119", "6,6,6")).append("</xml>\r\n");
  return body;
}

// Serves `body` in pieces, as a server streaming a long answer would.
LoopbackServer::Handler Stream(std::shared_ptr<const std::string> body) {
  return [body](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(
        body->size(), "text/xml", [body](size_t offset, size_t length, httplib::DataSink& sink) {
          return sink.write(body->data() + offset, std::min<size_t>(length, size_t{1} << 16));
        });
  };
}

std::vector<Fault> Faults() {
  const Text list_path(kDrawListPath);
  std::vector<Fault> faults = {
      {.name = "RefusedConnection",
       .serve =
           [] {
             auto port = std::make_shared<test_support::RefusingPort>();
             return Served{port->Url(kDrawListPath), port};
           },
       .listed = {},
       .box = ""},
      {.name = "UnknownHost",
       .serve =
           [] {
             return Served{"http://draws.zelkor3d.invalid" + Text(kDrawListPath), {}};
           },
       .listed = {},
       .box = "",
       .options = Bounds(seconds(1), seconds(5)),
       .at_most = seconds(1) + kSlack},
      {.name = "NotFoundPage",
       .serve = Service(LoopbackServer::Reply("<html><body><h1>404 Not Found</h1></body></html>",
                                              404, "text/html")),
       .listed = {},
       .box = ""},
      // The status is not looked at: rows in an error page are listed.
      {.name = "NotFoundWithRows",
       .serve = Service(LoopbackServer::Reply(kDocument, 404)),
       .listed = kDocumentRows,
       .box = "358"},
      {.name = "ServerErrorWithRows",
       .serve = Service(LoopbackServer::Reply(kDocument, 500)),
       .listed = kDocumentRows,
       .box = "358"},
      {.name = "TransferCutInsideARow",
       .serve =
           [] {
             auto server = std::make_shared<RawServer>(
                 "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + CutInsideRow("2024121"));
             return Served{server->Url(kDrawListPath), server};
           },
       .listed = {{"2024123", "358"}, {"2024122", "007"}},
       .box = "358"},
      // The row the zero byte falls in is not listed, though the rest of it
      // and a whole row follow.
      {.name = "ZeroByteInsideARow",
       .serve = Service(LoopbackServer::Reply(CutInsideRow("2024122") + '\0' +
                                              kDocument.substr(CutInsideRow("2024122").size()))),
       .listed = {{"2024123", "358"}},
       .box = "358"},
      // Every hop's body holds the rows; none of them counts.
      {.name = "RedirectLoop",
       .serve = Service(
           [list_path](const httplib::Request&, httplib::Response& response) {
             response.set_redirect(list_path, 302);
             response.set_content(kDocument, "text/xml");
           },
           LoopbackServer::Scheme::kHttp, 11),
       .listed = {},
       .box = ""},
      {.name = "NeverAnswers",
       .serve =
           [] {
             auto server = std::make_shared<test_support::SilentServer>();
             return Served{server->Url(kDrawListPath), server,
                           [server] { EXPECT_EQ(server->connection_count(), 1); }};
           },
       .listed = {},
       .box = "",
       .options = Bounds(seconds(5), seconds(1)),
       .at_least = milliseconds(900),
       .at_most = seconds(1) + kSlack},
      {.name = "BodyOver64MiB",
       .serve = [] { return Service(Stream(OversizedDocument()))(); },
       .listed = kDocumentRows,
       .box = "358"},
      {.name = "HttpsUntrustedCertificate",
       .serve = Service(LoopbackServer::Reply(kDocument), LoopbackServer::Scheme::kHttps, 0),
       .listed = {},
       .box = ""},
      {.name = "HttpsTrustedThroughCaFile",
       .serve = Service(LoopbackServer::Reply(kDocument), LoopbackServer::Scheme::kHttps, 1),
       .listed = kDocumentRows,
       .box = "358",
       .trusts_test_authority = true},
  };
  return faults;
}

// The lines of `text`, each without its CR LF; `text` ends in one.
std::vector<Text> Lines(std::string_view text) {
  std::vector<Text> lines;
  for (size_t end; (end = text.find("\r\n")) != std::string_view::npos;
       text.remove_prefix(end + 2)) {
    lines.emplace_back(text.substr(0, end));
  }
  EXPECT_TRUE(text.empty()) << text;
  return lines;
}

class DrawHistoryFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(DrawHistoryFaultTest, ListsWhatArrivedAndTheAnalysisRuns) {
  const Fault& fault = GetParam();
  FetchOptions options = fault.options;
  if (fault.trusts_test_authority) options.ca_file = test_support::TestAuthorityPemPath();
  const Served served = fault.serve();
  MemoryUi ui;
  ui.SetBoxText(ctl::编辑框1, "old");

  const auto start = std::chrono::steady_clock::now();
  LoadDrawHistory(ui, served.address, options);
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(ListedRows(ui), fault.listed);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), fault.box);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_GE(elapsed, fault.at_least);
  EXPECT_LE(elapsed, fault.at_most);
  served.check_server();

  // The program goes on: a kill-digit analysis over the list, with the
  // window's initial texts, gives one line per listed draw after the oldest,
  // the next-issue line and the footer.
  const PageTexts texts = InitialPageTexts();
  test_support::FillPageBoxes(ui, KillDigitPage(), texts);
  ui.CheckRadio(ctl::单选框_百, true);
  RunAnalysisWalk(ui, KillDigitPage());
  EXPECT_TRUE(ui.messages().empty());

  const Text output = ui.GetBoxText(KillDigitPage().OutputBox());
  ASSERT_TRUE(output.ends_with(texts.footer));
  const std::vector<Text> lines =
      Lines(std::string_view(output).substr(0, output.size() - texts.footer.size()));
  ASSERT_EQ(lines.size(), std::max<size_t>(fault.listed.size(), 1));
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    // Oldest first: line i judges the draw after the oldest i + 1 ones.
    const std::vector<Text>& checked = fault.listed[fault.listed.size() - 2 - i];
    EXPECT_TRUE(lines[i].starts_with(TextJoin(texts.separator, checked[0], Gbk("期:"))))
        << lines[i];
    EXPECT_TRUE(lines[i].ends_with(TextJoin(checked[1], texts.correct)) ||
                lines[i].ends_with(TextJoin(checked[1], texts.wrong)))
        << lines[i];
  }
  // The next issue follows the newest judged draw; with none judged, the
  // count starts from nothing.
  const Text next_issue =
      fault.listed.size() < 2 ? "1" : std::to_string(std::stoll(fault.listed.front()[0]) + 1);
  EXPECT_TRUE(lines.back().starts_with(TextJoin(texts.separator, next_issue, Gbk("期:"))))
      << lines.back();
  EXPECT_TRUE(lines.back().ends_with(texts.not_drawn)) << lines.back();
}

INSTANTIATE_TEST_SUITE_P(Faults, DrawHistoryFaultTest, ::testing::ValuesIn(Faults()),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace zelkor
