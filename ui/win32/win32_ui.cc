#include "ui/win32/win32_ui.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "runtime/wide_text.h"
#include "ui/shown_part.h"
#include "ui/win32/main_window.h"

namespace zelkor::win32 {
namespace {

// The locale of the clipboard's plain text: Chinese (PRC), whose ANSI code
// page is 936, so that a program asking for Unicode text gets these
// characters even on a system with another code page.
constexpr LCID kGbkLocale = 0x0804;

// A movable global block holding `size` bytes copied from `data`.
HGLOBAL GlobalCopy(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (block == nullptr) return nullptr;
  void* target = GlobalLock(block);
  if (target == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(target, data, size);
  GlobalUnlock(block);
  return block;
}

// What an output box shows of a text. The platform's multi-line edit
// control lays out every line of its text each time the text is set: under
// Wine about 0.7 s for 16,384 analysis lines (720 KB), and more a byte the
// longer a line is (a 4,096-digit line alone takes 0.6 s, 256 digits under
// a millisecond). An analysis over a hundred thousand draws would take
// seconds to show; that of a real history (some eight thousand draws,
// 340 KB) is shown whole.
constexpr ShownLimits kOutputShown{
    .line_bytes = 256, .total_bytes = size_t{512} << 10, .lines = 16384};

// The characters a box shows for `part` of `gbk`: a note of the lines left
// out, then the spans, each cut one followed by an ellipsis.
std::wstring ShownWide(std::string_view gbk, const ShownPart& part) {
  std::wstring shown;
  if (part.hidden_lines > 0) shown = GbkToWide(HiddenLinesNote(part.hidden_lines)) + L"\r\n";
  for (const ShownSpan& span : part.spans) {
    shown += GbkToWide(gbk.substr(span.begin, span.end - span.begin));
    if (span.cut) shown += L'\x2026';
  }
  return shown;
}

// What a box gives back of the characters set into it: its text ends at
// the first U+0000.
Text ReadBack(std::wstring wide) {
  wide.resize(std::wcslen(wide.c_str()));
  return WideToGbk(wide);
}

bool PutOnClipboard(UINT format, const void* data, size_t size) {
  HGLOBAL block = GlobalCopy(data, size);
  if (block == nullptr) return false;
  if (SetClipboardData(format, block) == nullptr) {
    GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace

int ButtonCodeOf(int dialog_result) {
  // IDOK 1 ... IDNO 7 become OK 0 ... No 6.
  return dialog_result >= IDOK && dialog_result <= IDNO ? dialog_result - IDOK : 0;
}

HWND Win32Ui::EditOf(EditBox box) const {
  HWND control = window_.Control(box.name);
  const layout::PlacedControl* placed = window_.LayoutOf(control);
  return placed != nullptr && placed->kind == layout::Kind::kEditBox ? control : nullptr;
}

HWND Win32Ui::ListOf(ListView list) const {
  HWND control = window_.Control(list.name);
  const layout::PlacedControl* placed = window_.LayoutOf(control);
  return placed != nullptr && placed->kind == layout::Kind::kListView ? control : nullptr;
}

Text Win32Ui::GetBoxText(EditBox box) {
  HWND edit = EditOf(box);
  if (edit == nullptr) return {};
  // A box showing part of a text gives back what it would showing the whole.
  if (const Text* whole = window_.WholeTextOf(edit)) return ReadBack(GbkToWide(*whole));
  // Multi-line edit boxes hold their line breaks as CR LF already.
  std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  wide.resize(
      static_cast<size_t>(GetWindowTextW(edit, wide.data(), static_cast<int>(wide.size()))));
  return WideToGbk(wide);
}

void Win32Ui::SetBoxText(EditBox box, const Text& text) {
  HWND edit = EditOf(box);
  if (edit == nullptr) return;
  const layout::Look look = window_.LayoutOf(edit)->look;
  if (look == layout::Look::kDrawBox) {
    // A digits cell is whatever the service sent; the box shows its start.
    const size_t end = ShownPrefixEnd(text, kDrawBoxShownBytes);
    if (end == text.size()) {
      window_.SetEditText(edit, GbkToWide(text), nullptr);
    } else {
      window_.SetEditText(edit, GbkToWide(std::string_view(text).substr(0, end)) + L'\x2026',
                          &text);
    }
  } else if (look != layout::Look::kOutputBox) {
    window_.SetEditText(edit, GbkToWide(text), nullptr);
  } else {
    const ShownPart part = ShownEnd(text, kOutputShown);
    if (part.IsWhole()) {
      window_.SetEditText(edit, GbkToWide(text), nullptr);
    } else {
      window_.SetEditText(edit, ShownWide(text, part), &text);
    }
    // A run's output shows its end: the line of the next issue and the footer.
    const LRESULT end = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  }
}

bool Win32Ui::IsRadioChecked(RadioButton radio) {
  HWND button = window_.Control(radio.name);
  return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Ui::CheckRadio(RadioButton radio, bool checked) {
  // BM_SETCHECK touches this button alone; only a click clears the others.
  HWND button = window_.Control(radio.name);
  if (button != nullptr)
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int32_t Win32Ui::RowCount(ListView list) {
  return ListOf(list) == nullptr ? 0 : static_cast<int32_t>(window_.rows().size());
}

int32_t Win32Ui::AppendRow(ListView list) {
  if (ListOf(list) == nullptr) return -1;
  window_.rows().emplace_back();
  window_.RowsChanged();
  return static_cast<int32_t>(window_.rows().size() - 1);
}

void Win32Ui::SetCellText(ListView list, int32_t row, int32_t column, const Text& text) {
  HWND view = ListOf(list);
  auto& rows = window_.rows();
  if (view == nullptr || row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0 ||
      column > 1) {
    return;
  }
  rows[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
  window_.RowsChanged();
}

Text Win32Ui::GetCellText(ListView list, int32_t row, int32_t column) {
  const auto& rows = window_.rows();
  if (ListOf(list) == nullptr || row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0 ||
      column > 1) {
    return {};
  }
  return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

int32_t Win32Ui::SelectedRow(ListView list) {
  HWND view = ListOf(list);
  if (view == nullptr) return -1;
  return static_cast<int32_t>(
      SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

int Win32Ui::ShowMessageBox(const Text& message, int style, const Text& caption) {
  // No owner window; task-modal (the program's windows wait) unless the
  // style asks for system-modal.
  UINT flags = static_cast<UINT>(style);
  if ((flags & MB_SYSTEMMODAL) == 0) flags |= MB_TASKMODAL;
  const int result =
      MessageBoxW(nullptr, GbkToWide(message).c_str(), GbkToWide(caption).c_str(), flags);
  return ButtonCodeOf(result);
}

bool Win32Ui::SetClipboardText(const Text& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  // The plain text is the GBK bytes up to the first zero byte, with it.
  const size_t length = std::strlen(text.c_str());
  bool stored = PutOnClipboard(CF_TEXT, text.c_str(), length + 1);
  if (stored) {
    // The same characters for programs that read Unicode text, and the
    // locale that says which code page the plain text is in.
    const std::wstring wide = GbkToWide(std::string_view(text.c_str(), length));
    PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    PutOnClipboard(CF_LOCALE, &kGbkLocale, sizeof(kGbkLocale));
  }
  CloseClipboard();
  return stored;
}

void Win32Ui::OpenWebAddress(const Text& address) {
  // The desktop's handler for the address (the browser), normally sized.
  ShellExecuteW(nullptr, L"open", GbkToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Ui::ApplyVisualStyle(int style) {
  const bool themed = style >= 1 && style <= static_cast<int>(layout::kSchemeFrames.size());
  if (themed) {
    const layout::Colour frame = layout::kSchemeFrames[static_cast<size_t>(style - 1)];
    window_.SetFrameColour(RGB(frame.red, frame.green, frame.blue));
  } else {
    window_.SetFrameColour(CLR_NONE);
  }
  // Common controls 6 (through the program's manifest) draw themed; an empty
  // theme name gives the plain look.
  for (const auto& [control, placed] : window_.controls()) {
    if (themed) {
      SetWindowTheme(control, nullptr, nullptr);
    } else {
      SetWindowTheme(control, L"", L"");
    }
  }
  RedrawWindow(window_.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace zelkor::win32
