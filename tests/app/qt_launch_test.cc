// The real window and the real launch sequence, offscreen, against the draw
// service with the shipped history on a loopback port of its own.
#include "app/qt_launch.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "app/rc4.h"
#include "draw_service/history/history_file.h"
#include "draw_service/serve/routes.h"
#include "draws/draws.h"
#include "tests/support/loopback_server.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_ui.h"

namespace zelkor {
namespace {

class DrawService {
 public:
  DrawService() {
    auto draws = service::ReadHistoryFile(ZELKOR_HISTORY_FILE);
    if (std::holds_alternative<std::vector<service::HistoryDraw>>(draws)) {
      documents_.Publish(std::get<std::vector<service::HistoryDraw>>(draws));
    }
    service::AddRoutes(server_, documents_);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~DrawService() {
    server_.stop();
    thread_.join();
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(std::string_view path) const { return "http://" + Host() + std::string(path); }
  int port() const { return port_; }

 private:
  service::DocumentHolder documents_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

MainWindow* FindMainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = dynamic_cast<MainWindow*>(widget)) return window;
  }
  return nullptr;
}

struct Observed {
  std::vector<QString> notices;
  bool found = false;
  bool visible = false;
  int32_t rows = -1;
  Text first_issue;
  Text first_digits;
  Text last_issue;
  Text draw_box;
  bool hundreds_checked = false;
  int releases_while_open = -1;
};

// Runs the program with `config` and plays the user: acknowledges any notice
// box, looks at the window as it is first found, then closes it as the close
// button does. Gives the exit code.
int RunAsUser(const StartupConfig& config, Observed& seen) {
  QTimer user;
  user.setInterval(20);
  QObject::connect(&user, &QTimer::timeout, [&seen, &user] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      auto* box = dynamic_cast<QMessageBox*>(modal);
      seen.notices.push_back(box != nullptr ? box->text() : QString());
      modal->close();
      return;
    }
    MainWindow* window = FindMainWindow();
    if (window == nullptr || !window->isVisible()) return;
    user.stop();
    seen.found = true;
    seen.visible = window->isVisible();
    UiOperations& ui = window->ui();
    seen.rows = ui.RowCount(ctl::超级列表框1);
    seen.first_issue = ui.GetCellText(ctl::超级列表框1, 0, 0);
    seen.first_digits = ui.GetCellText(ctl::超级列表框1, 0, 1);
    seen.last_issue = ui.GetCellText(ctl::超级列表框1, seen.rows - 1, 0);
    seen.draw_box = ui.GetBoxText(ctl::编辑框1);
    seen.hundreds_checked = ui.IsRadioChecked(ctl::单选框_百);
    seen.releases_while_open = ProgramTextReleaseCount();
    window->close();
  });
  user.start();
  // Should the window never close, the loop still ends, with a code that fails.
  QTimer::singleShot(60000, [] { QApplication::exit(4); });
  return RunProgram(config);
}

TEST(LaunchTest, ShowsTheServicesHistoryAndEndsCleanlyWhenClosed) {
  struct Case {
    const char* name;
    const char* version_record;
    size_t notices;
  };
  const Case cases[] = {
      {"current version", "1.1", 0},
      {"newer version", "1.2", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int argc = 1;
    char name[] = "launch_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    DrawService service;
    ASSERT_GT(service.port(), 0);
    test_support::LoopbackServer version_service(
        {{"/version.txt", test_support::LoopbackServer::Reply(c.version_record)}});
    const std::string page = service.Url(service::StartPagePath());
    const std::string version = version_service.Url("/version.txt");
    const std::string key(1, PickPassword(page, version));
    const StartupConfig config{
        .enciphered_startup_page = Rc4(page, key),
        .enciphered_version_record = Rc4(version, key),
        .password = key,
        .update_site = "https://update.example.com/",
        .draw_host = service.Host(),
    };

    Observed seen;
    const int releases_before = ProgramTextReleaseCount();
    const int exit_code = RunAsUser(config, seen);

    EXPECT_EQ(exit_code, 0);
    ASSERT_EQ(seen.notices.size(), c.notices);
    if (c.notices > 0) {
      EXPECT_TRUE(seen.notices[0].contains("https://update.example.com/"));
    }
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.visible);
    // The shipped history: every draw from the first issue on, newest first.
    EXPECT_EQ(seen.rows, 7731);
    EXPECT_EQ(seen.first_issue, "2026224");
    EXPECT_EQ(seen.first_digits, "862");
    EXPECT_EQ(seen.last_issue, "2004001");
    EXPECT_EQ(seen.draw_box, "862");
    EXPECT_TRUE(seen.hundreds_checked);
    // The end routine runs only after the window is closed.
    EXPECT_EQ(seen.releases_while_open, releases_before);
    EXPECT_EQ(ProgramTextReleaseCount(), 1);
    EXPECT_EQ(FindMainWindow(), nullptr) << "the window outlived the program's end";
  }
}

}  // namespace
}  // namespace zelkor
