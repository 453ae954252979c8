#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis.h"
#include "app/rc4.h"
#include "draws/draws.h"
#include "runtime/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/ui_fixtures.h"
#include "ui/memory_ui.h"
#include "ui/page_texts.h"

namespace zelkor {
namespace {

using test_support::LoopbackServer;

constexpr char kStartPath[] = "/start.html";
constexpr char kVersionPath[] = "/version.txt";

const std::string kThreeDraws =
    "<xml>\n"
    "<row expect=\"2026003\" opencode=\"0,0,7\" opentime=\"2026-01-03 21:15:00\" trycode=\"1,2,3\" "
    "tryinfo=\"\" />\n"
    "<row expect=\"2026002\" opencode=\"3,5,8\" opentime=\"2026-01-02 21:15:00\" trycode=\"1,2,3\" "
    "tryinfo=\"\" />\n"
    "<row expect=\"2026001\" opencode=\"9,1,4\" opentime=\"2026-01-01 21:15:00\" trycode=\"1,2,3\" "
    "tryinfo=\"\" />\n"
    "</xml>\n";

// A start-up configuration whose addresses are enciphered the way the build
// stores its own.
StartupConfig ConfigFor(const std::string& startup_page, const std::string& version_record,
                        const std::string& draw_host) {
  const char password = PickPassword(startup_page, version_record);
  const std::string key(1, password);
  return StartupConfig{
      .enciphered_startup_page = Rc4(startup_page, key),
      .enciphered_version_record = Rc4(version_record, key),
      .password = key,
      .update_site = Gbk("https://update.example.com/"),
      .draw_host = draw_host,
  };
}

// host:port of a loopback port nothing listens on.
std::string RefusedHost() {
  int port = 0;
  {
    LoopbackServer closed({});
    port = closed.port();
  }
  return "127.0.0.1:" + std::to_string(port);
}

// A loopback service with the start-up page, the given version record answer
// and the three-draw list.
struct Service {
  explicit Service(LoopbackServer::Handler version_record)
      : server({{kStartPath, LoopbackServer::Reply("<html></html>", 200, "text/html")},
                {kVersionPath, std::move(version_record)},
                {std::string(kDrawListPath), LoopbackServer::Reply(kThreeDraws)}}) {}

  std::string Host() const { return "127.0.0.1:" + std::to_string(server.port()); }
  StartupConfig Config() const {
    return ConfigFor(server.Url(kStartPath), server.Url(kVersionPath), Host());
  }

  LoopbackServer server;
};

size_t IndexOf(const std::vector<std::string>& calls, const std::string& call) {
  return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

TEST(RunStartupTest, OpensThePageThenNotifiesThenListsThenChoosesAndThemes) {
  Service service(LoopbackServer::Reply("1.2"));
  MemoryUi ui;
  RunStartup(ui, service.Config());

  const std::vector<std::string>& calls = ui.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "OpenWebAddress");
  const size_t notice = IndexOf(calls, "ShowMessage");
  const size_t first_row = IndexOf(calls, "AppendRow(超级列表框1)");
  ASSERT_LT(notice, calls.size());
  ASSERT_LT(first_row, calls.size());
  EXPECT_LT(notice, first_row);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowMessage"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "AppendRow(超级列表框1)"), 3);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "CheckRadio(单选框_百)");
  EXPECT_EQ(calls.back(), "ApplyVisualStyle");

  // The version record is fetched before the draw list.
  EXPECT_EQ(service.server.requested_paths(),
            (std::vector<std::string>{kVersionPath, std::string(kDrawListPath)}));
  EXPECT_EQ(ui.opened_addresses(), std::vector<Text>{service.server.Url(kStartPath)});
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text,
            Gbk("软件已经更新,请到https://update.example.com/下载最新版本!"));
  EXPECT_EQ(ui.messages()[0].style, 0);
  EXPECT_EQ(ui.messages()[0].caption, DefaultMessageCaption());
}

TEST(RunStartupTest, ListsTheHistoryChoosesHundredsAndSwitchesTheThemeOn) {
  Service service(LoopbackServer::Reply("1.1"));
  MemoryUi ui;
  ui.CheckRadio(ctl::单选框_百, false);
  ui.CheckRadio(ctl::单选框_十, true);
  RunStartup(ui, service.Config());

  ASSERT_EQ(ui.RowCount(ctl::超级列表框1), 3);
  EXPECT_EQ(ui.GetCellText(ctl::超级列表框1, 0, 0), "2026003");
  EXPECT_EQ(ui.GetCellText(ctl::超级列表框1, 0, 1), "007");
  EXPECT_EQ(ui.GetCellText(ctl::超级列表框1, 2, 1), "914");
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "007");
  EXPECT_TRUE(ui.IsRadioChecked(ctl::单选框_百));
  EXPECT_TRUE(ui.IsRadioChecked(ctl::单选框_十)) << "choosing one position clears no other";
  EXPECT_EQ(ui.visual_style(), 1);
}

// Sends the start of a record, then nothing until past the record's deadline.
void CutOffRecord(const httplib::Request&, httplib::Response& response) {
  response.set_content_provider(
      16, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset == 0) sink.write("<<\x8b", 3);
        std::this_thread::sleep_for(kVersionRecordDeadline + std::chrono::seconds(1));
        return false;
      });
}

TEST(RunStartupTest, ShowsTheNoticeForEveryRecordButTheCurrentVersionOrNone) {
  struct Case {
    const char* name;
    std::optional<LoopbackServer::Handler> version_record;  // none: nothing listens
    bool notice;
  };
  const Case cases[] = {
      {"current", LoopbackServer::Reply("1.1"), false},
      {"newer", LoopbackServer::Reply("1.2"), true},
      {"longer number", LoopbackServer::Reply("1.10"), true},
      {"line break after", LoopbackServer::Reply("1.1\r\n"), true},
      {"blank after", LoopbackServer::Reply("1.1 "), true},
      {"blank before", LoopbackServer::Reply(" 1.1"), true},
      {"zero byte after", LoopbackServer::Reply(std::string("1.1\0x", 5)), false},
      {"only a zero byte", LoopbackServer::Reply(std::string(1, '\0')), true},
      {"error page", LoopbackServer::Reply("<html><body>404 Not Found</body></html>", 404), false},
      {"cut off by the deadline", CutOffRecord, false},
      {"error status, empty body", LoopbackServer::Reply("", 404), false},
      {"no answer", std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    Service service(c.version_record.value_or(LoopbackServer::Reply("1.1")));
    StartupConfig config = service.Config();
    if (!c.version_record) {
      config = ConfigFor(service.server.Url(kStartPath), "http://" + RefusedHost() + kVersionPath,
                         service.Host());
    }
    MemoryUi ui;
    RunStartup(ui, config);
    EXPECT_EQ(ui.messages().size(), c.notice ? 1u : 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              kVersionRecordDeadline + std::chrono::seconds(5));
    // The notice stops nothing.
    EXPECT_EQ(ui.RowCount(ctl::超级列表框1), 3);
  }
}

TEST(RunStartupTest, WithoutANetworkStillAsksTheBrowserAndLeavesAWorkingEmptyWindow) {
  const std::string host = RefusedHost();
  MemoryUi ui;
  RunStartup(ui, ConfigFor("http://" + host + kStartPath, "http://" + host + kVersionPath, host));

  EXPECT_EQ(ui.opened_addresses(), std::vector<Text>{"http://" + host + kStartPath});
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(ui.RowCount(ctl::超级列表框1), 0);
  EXPECT_EQ(ui.GetBoxText(ctl::编辑框1), "");
  EXPECT_TRUE(ui.IsRadioChecked(ctl::单选框_百));
  EXPECT_EQ(ui.visual_style(), 1);

  // The analyses run on the empty list: only the next-issue line.
  const PageTexts& texts = InitialPageTexts();
  const AnalysisPage& page = KillDigitPage();
  test_support::FillPageBoxes(ui, page, texts);
  RunAnalysisWalk(ui, page);
  EXPECT_EQ(ui.GetBoxText(page.OutputBox()), Gbk("┊1期:Zelkor3D杀码┊【】┊未开\r\n") + texts.footer);
}

}  // namespace
}  // namespace zelkor
