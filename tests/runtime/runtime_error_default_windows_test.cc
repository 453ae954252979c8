// The default report on Windows is a message box. Every message box the test
// process opens, on whichever thread, is read and closed by a watcher: what
// it showed goes to standard error, where the death tests look for it, and
// OK is pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>

#include "runtime/runtime_error.h"
#include "runtime/wide_text.h"

namespace zelkor {
namespace {

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return WideToUtf8(text);
}

std::string ItemText(HWND dialog, int item) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, item, text, 512);
  return WideToUtf8(text);
}

// A message box makes every button and shows only those asked for.
bool HasButton(HWND dialog, int item) {
  HWND button = GetDlgItem(dialog, item);
  return button != nullptr && (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0;
}

BOOL CALLBACK ReadAndCloseIfMessageBox(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  // Shown, so set up: its text and buttons are in place.
  if (process != GetCurrentProcessId() || std::wstring(class_name) != L"#32770" ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  std::string buttons;
  for (const auto& [item, name] : {std::pair{IDOK, "OK"},
                                   {IDCANCEL, "Cancel"},
                                   {IDYES, "Yes"},
                                   {IDNO, "No"},
                                   {IDRETRY, "Retry"}}) {
    if (HasButton(window, item)) buttons += buttons.empty() ? name : std::string(" ") + name;
  }
  // A message box's text is the static control 0xFFFF.
  const std::string line = "message box [" + WindowText(window) + "] buttons [" + buttons +
                           "] text [" + ItemText(window, 0xFFFF) + "]\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

// Runs in every process the tests start, death-test children included.
class MessageBoxWatcher : public testing::Environment {
 public:
  void SetUp() override {
    thread_ = std::thread([this] {
      while (!stopping_) {
        EnumWindows(ReadAndCloseIfMessageBox, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  }
  void TearDown() override { Stop(); }
  // Also when a death-test child ends at once, leaving TearDown out.
  ~MessageBoxWatcher() override { Stop(); }

 private:
  void Stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
  }

  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
const testing::Environment* const kMessageBoxWatcher =
    testing::AddGlobalTestEnvironment(new MessageBoxWatcher);

TEST(RuntimeErrorDeathTest, DefaultPresenterShowsAnErrorBoxThenEndsWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReportRuntimeError(RuntimeError::WindowCreationFailed()), testing::ExitedWithCode(-1),
              "message box \\[错误\\] buttons \\[OK\\] text \\[运行时出错!\r\n\r\n"
              "错误信息：载入启动窗口失败\r\n\\]");
}

}  // namespace
}  // namespace zelkor
