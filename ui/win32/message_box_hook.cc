#include "ui/win32/message_box_hook.h"

#include <utility>

namespace zelkor::win32 {
namespace {

// The parts of a message box, by dialog id.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x0440;

thread_local std::function<int(const SeenMessageBox&)> answerer;
thread_local HHOOK active_hook = nullptr;

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && answerer) {
    auto box = reinterpret_cast<HWND>(wparam);
    wchar_t class_name[16] = {};
    GetClassNameW(box, class_name, 16);
    if (std::wstring_view(class_name) == L"#32770") {
      SeenMessageBox seen;
      seen.caption = TextOf(box);
      if (HWND text = GetDlgItem(box, kTextId)) seen.text = TextOf(text);
      seen.has_icon =
          GetDlgItem(box, kIconId) != nullptr && IsWindowVisible(GetDlgItem(box, kIconId));
      for (int id = IDOK; id <= IDCONTINUE; ++id) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button)) seen.buttons.push_back(id);
      }
      const int id = answerer(seen);
      // Posted: the box takes it from its own message loop once shown.
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    }
  }
  return CallNextHookEx(active_hook, code, wparam, lparam);
}

}  // namespace

ScopedMessageBoxAnswerer::ScopedMessageBoxAnswerer(
    std::function<int(const SeenMessageBox&)> answer) {
  answerer = std::move(answer);
  hook_ = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
  active_hook = hook_;
}

ScopedMessageBoxAnswerer::~ScopedMessageBoxAnswerer() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active_hook = nullptr;
  answerer = nullptr;
}

}  // namespace zelkor::win32
