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

// Called after each window procedure of this thread returns: once a message
// box has handled WM_INITDIALOG, its text and buttons are in place.
bool Shown(HWND part) {
  return part != nullptr && (GetWindowLongPtrW(part, GWL_STYLE) & WS_VISIBLE) != 0;
}

LRESULT CALLBACK AfterProc(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && answerer) {
    HWND box = call->hwnd;
    wchar_t class_name[16] = {};
    GetClassNameW(box, class_name, 16);
    if (std::wstring_view(class_name) == L"#32770") {
      SeenMessageBox seen;
      seen.caption = TextOf(box);
      if (HWND text = GetDlgItem(box, kTextId)) seen.text = TextOf(text);
      // The box itself is not shown yet: its parts tell what it will show.
      HWND icon = GetDlgItem(box, kIconId);
      seen.has_icon = Shown(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
      for (int id = IDOK; id <= IDCONTINUE; ++id) {
        HWND button = GetDlgItem(box, id);
        if (Shown(button)) seen.buttons.push_back(id);
      }
      const int id = seen.buttons.empty() ? IDCANCEL : answerer(seen);
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
  hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterProc, nullptr, GetCurrentThreadId());
  active_hook = hook_;
}

ScopedMessageBoxAnswerer::~ScopedMessageBoxAnswerer() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active_hook = nullptr;
  answerer = nullptr;
}

}  // namespace zelkor::win32
