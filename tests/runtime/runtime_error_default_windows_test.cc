// The default report on Windows is a message box. Every message box this
// program opens is read and closed by a hook: what it showed goes to
// standard error, where the death tests look for it, and OK is pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "runtime/runtime_error.h"
#include "runtime/wide_text.h"

namespace zelkor {
namespace {

HHOOK message_box_hook = nullptr;

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

HWND message_box = nullptr;

// Runs inside the message box's own message loop, once the box is set up.
void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::string buttons;
  for (const auto& [item, name] : {std::pair{IDOK, "OK"},
                                   {IDCANCEL, "Cancel"},
                                   {IDYES, "Yes"},
                                   {IDNO, "No"},
                                   {IDRETRY, "Retry"}}) {
    if (HasButton(message_box, item)) buttons += buttons.empty() ? name : std::string(" ") + name;
  }
  // A message box's text is the static control 0xFFFF.
  const std::string line = "message box [" + WindowText(message_box) + "] buttons [" + buttons +
                           "] text [" + ItemText(message_box, 0xFFFF) + "]\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  PostMessageW(message_box, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK ReadAndCloseMessageBoxes(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wparam);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) == L"#32770") {
      message_box = window;
      SetTimer(nullptr, 0, 50, ReadAndClose);
    }
  }
  return CallNextHookEx(message_box_hook, code, wparam, lparam);
}

// Installed in every process the tests start, death-test children included.
class MessageBoxReader : public testing::Environment {
 public:
  void SetUp() override {
    message_box_hook =
        SetWindowsHookExW(WH_CBT, ReadAndCloseMessageBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(message_box_hook, nullptr);
  }
};
const testing::Environment* const kMessageBoxReader =
    testing::AddGlobalTestEnvironment(new MessageBoxReader);

TEST(RuntimeErrorDeathTest, DefaultPresenterShowsAnErrorBoxThenEndsWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReportRuntimeError(RuntimeError::WindowCreationFailed()), testing::ExitedWithCode(-1),
              "message box \\[错误\\] buttons \\[OK\\] text \\[运行时出错!\r\n\r\n"
              "错误信息：载入启动窗口失败\r\n\\]");
}

}  // namespace
}  // namespace zelkor
