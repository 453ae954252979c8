#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>

#include "runtime/gbk.h"
#include "runtime/wide_text.h"
#include "ui/win32/controls.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"
#include "ui/win32/taskbar.h"
#include "ui/win32/win32_ui.h"

namespace zelkor::win32 {
namespace {

using layout::Kind;
using layout::Look;
using layout::PlacedControl;

constexpr wchar_t kWindowClass[] = L"Zelkor3DMainWindow";
// Control ids start above the dialog ids IDOK and IDCANCEL, which the
// dialog-style keyboard handling sends for Enter and Esc.
constexpr int kFirstControlId = 100;

COLORREF Rgb(layout::Colour c) { return RGB(c.red, c.green, c.blue); }

}  // namespace

std::wstring Wide(std::string_view utf8) { return Utf8ToWide(utf8); }

Text WideToGbk(std::wstring_view wide) {
  // Through the program's one GBK conversion (code page 936, its
  // user-defined areas left out as on Linux): a character GBK lacks becomes
  // "?" as it does in the Linux build.
  return Utf8ToGbk(WideToUtf8(wide));
}

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (white_brush_ != nullptr) DeleteObject(white_brush_);
}

UiOperations& MainWindow::ui() { return *ui_; }

HWND MainWindow::Control(std::string_view name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : it->second;
}

const PlacedControl* MainWindow::LayoutOf(HWND control) const {
  auto it = layouts_.find(control);
  return it == layouts_.end() ? nullptr : it->second;
}

void MainWindow::SetButtonHandler(Button button, std::function<void()> handler) {
  HWND control = Control(button.name);
  if (control != nullptr) button_handlers_[GetDlgCtrlID(control)] = std::move(handler);
}

void MainWindow::SetListClickHandler(std::function<void()> handler) {
  list_click_handler_ = std::move(handler);
}

void MainWindow::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

bool MainWindow::PreTranslate(const MSG& msg) {
  const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
  if (!ours) return false;
  // Esc closes the window wherever the focus is; no control keeps it.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    return true;
  }
  return IsDialogMessageW(hwnd_, const_cast<MSG*>(&msg)) != FALSE;
}

int MainWindow::RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void MainWindow::ShowPage(int index) {
  if (index < 0 || index >= layout::kPageCount) return;
  SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int page = 0; page < layout::kPageCount; ++page) {
    for (HWND control : pages_[static_cast<size_t>(page)]) {
      ShowWindow(control, page == index ? SW_SHOWNA : SW_HIDE);
    }
  }
}

int MainWindow::CurrentPage() const {
  return static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
}

void MainWindow::RowsChanged() {
  // Telling the list view costs a repaint request each time, which a
  // hundred thousand appends cannot afford: it is told once, when the
  // handler that changed the rows has returned (a posted message comes
  // before any input).
  if (rows_sync_posted_) return;
  rows_sync_posted_ = PostMessageW(hwnd_, kSyncRowsMessage, 0, 0) != FALSE;
}

void MainWindow::SyncRows() {
  rows_sync_posted_ = false;
  SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
  InvalidateRect(list_, nullptr, TRUE);
}

void MainWindow::SetEditText(HWND edit, const std::wstring& shown, const Text* whole) {
  setting_text_ = true;
  SetWindowTextW(edit, shown.c_str());
  setting_text_ = false;
  const bool was_part = whole_texts_.erase(edit) > 0;
  if (whole != nullptr) whole_texts_.emplace(edit, *whole);
  if (whole != nullptr || was_part) {
    SendMessageW(edit, EM_SETREADONLY, whole != nullptr || ReadOnlyByLook(edit), 0);
  }
}

bool MainWindow::ReadOnlyByLook(HWND edit) const {
  const PlacedControl* placed = LayoutOf(edit);
  return placed != nullptr && placed->look == Look::kDrawBox;
}

const Text* MainWindow::WholeTextOf(HWND edit) const {
  auto it = whole_texts_.find(edit);
  return it == whole_texts_.end() ? nullptr : &it->second;
}

void MainWindow::EditTextChanged(HWND edit) {
  if (setting_text_ || whole_texts_.erase(edit) == 0) return;
  SendMessageW(edit, EM_SETREADONLY, ReadOnlyByLook(edit), 0);
}

void MainWindow::SetFrameColour(COLORREF colour) { frame_colour_ = colour; }

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Handle(message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wparam) == EN_CHANGE && lparam != 0) {
        EditTextChanged(reinterpret_cast<HWND>(lparam));
        return 0;
      }
      if (HIWORD(wparam) != BN_CLICKED || lparam == 0) return 0;
      const PlacedControl* placed = LayoutOf(reinterpret_cast<HWND>(lparam));
      if (placed != nullptr && placed->kind == Kind::kRadioButton) {
        // A click selects this button and clears the others of its group.
        // The buttons are not the platform's automatic kind: selecting one of
        // those by BM_SETCHECK would clear the others too, and the logic's
        // CheckRadio must leave them as they are.
        for (const layout::RadioControl& radio : layout::kRadioButtons) {
          SendMessageW(Control(radio.name), BM_SETCHECK,
                       radio.name == placed->name ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        return 0;
      }
      auto it = button_handlers_.find(LOWORD(wparam));
      if (it != button_handlers_.end() && it->second) it->second();
      return 0;
    }
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam), lparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DPICHANGED: {
      // Moved to a screen of another DPI (or its DPI changed): laid out for
      // the new one, in the place and size the system suggests.
      ApplyDpi(HIWORD(wparam));
      const RECT& suggested = *reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case kSyncRowsMessage:
      SyncRows();
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT MainWindow::OnNotify(const NMHDR& header, LPARAM lparam) {
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
    ShowPage(CurrentPage());
    return 0;
  }
  if (header.hwndFrom != list_) return 0;
  if (header.code == LVN_GETDISPINFOW) {
    auto& info = reinterpret_cast<NMLVDISPINFOW*>(lparam)->item;
    if ((info.mask & LVIF_TEXT) == 0) return 0;
    const auto row = static_cast<size_t>(info.iItem);
    const auto column = static_cast<size_t>(info.iSubItem);
    cell_buffer_ = row < rows_.size() && column < 2 ? GbkToWide(rows_[row][column]) : L"";
    // The list shows the whole cell from a buffer of our own; it is only
    // read until the next request.
    info.pszText = cell_buffer_.data();
    return 0;
  }
  // NM_CLICK comes on the button's release, after the press has moved the
  // selection (or cleared it, on the empty space below the rows).
  if (header.code == NM_CLICK && list_click_handler_) list_click_handler_();
  return 0;
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  const PlacedControl* placed = LayoutOf(control);
  if (placed == nullptr) return 0;
  switch (placed->look) {
    case Look::kDrawBox:
    case Look::kSettingBox:
    case Look::kFooterBox:
      SetTextColor(dc, Rgb(layout::kRed));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(white_brush_);
    case Look::kOutputBox:
      SetTextColor(dc, Rgb(layout::kBlue));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(white_brush_);
    case Look::kCaption:
    case Look::kDisabledCaption:
      SetTextColor(dc, Rgb(layout::kRed));
      [[fallthrough]];
    default:
      // Labels, radio buttons and group boxes on the dialog face colour.
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
}

HWND MainWindow::Make(const PlacedControl& control, HWND parent, int id) {
  const bool first_radio =
      control.kind == Kind::kRadioButton && control.name == layout::kRadioButtons[0].name;
  const Made made = StylesOf(control, first_radio);
  const layout::Geometry g = ScaledGeometry(control.geometry, dpi_);
  HWND hwnd = CreateWindowExW(made.ex_style, made.window_class, Wide(control.caption).c_str(),
                              made.style, g.left, g.top, g.width, g.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) throw std::runtime_error("a control could not be made");
  by_name_.emplace(std::string(control.name), hwnd);
  layouts_.emplace(hwnd, &control);
  by_id_.emplace(id, hwnd);
  return hwnd;
}

void MainWindow::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The old fonts stay until every control has been given the new ones.
  std::unique_ptr<WindowFonts> old_fonts = std::move(fonts_);
  fonts_ = std::make_unique<WindowFonts>(dpi_);
  for (const auto& [control, placed] : layouts_) {
    const layout::Geometry g = ScaledGeometry(placed->geometry, dpi_);
    SetWindowPos(control, nullptr, g.left, g.top, g.width, g.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(*placed, control)),
                 TRUE);
  }
  int index = 0;
  for (const layout::ListColumn& column : layout::kListColumns) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++), Scaled(column.width));
  }
}

void MainWindow::Build() {
  fonts_ = std::make_unique<WindowFonts>(dpi_);
  white_brush_ = CreateSolidBrush(RGB(255, 255, 255));

  int id = kFirstControlId;
  for (const PlacedControl& control : layout::AllControls()) {
    HWND parent = hwnd_;
    if (!control.group.empty()) {
      parent = Control(control.group);
    } else if (control.page >= 0) {
      parent = tabs_;
    }
    HWND made = Make(control, parent, id++);
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->For(control, made)), FALSE);
    if (control.page >= 0 && control.group.empty()) {
      pages_[static_cast<size_t>(control.page)].push_back(made);
    }
    switch (control.kind) {
      case Kind::kEditBox:
        // No edit box limits the length of its text.
        SendMessageW(made, EM_SETLIMITTEXT, 0, 0);
        if (control.look == Look::kOutputBox) {
          SetWindowSubclass(made, TextProc, kTextSubclass, reinterpret_cast<DWORD_PTR>(this));
        }
        SetWindowSubclass(made, FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(this));
        break;
      case Kind::kListView: {
        list_ = made;
        SendMessageW(made, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        int index = 0;
        for (const layout::ListColumn& column : layout::kListColumns) {
          std::wstring header = Wide(column.header);
          LVCOLUMNW lv{};
          lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
          lv.cx = Scaled(column.width);
          lv.pszText = header.data();
          lv.iSubItem = index;
          SendMessageW(made, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&lv));
        }
        SetWindowSubclass(made, FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(this));
        break;
      }
      case Kind::kTabControl: {
        tabs_ = made;
        int index = 0;
        for (const layout::PageRow& page : layout::kPages) {
          std::wstring text = Wide(page.caption);
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = text.data();
          SendMessageW(made, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&item));
        }
        SetWindowSubclass(made, ForwardProc, kForwardSubclass, reinterpret_cast<DWORD_PTR>(hwnd_));
        break;
      }
      case Kind::kGroupBox:
        SetWindowSubclass(made, ForwardProc, kGroupSubclass, reinterpret_cast<DWORD_PTR>(hwnd_));
        break;
      case Kind::kRadioButton:
        SendMessageW(made, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case Kind::kLabel:
        EnableWindow(made, control.look != Look::kDisabledCaption);
        break;
      default:
        break;
    }
  }
  ui_ = std::make_unique<Win32Ui>(*this);
  const PageTexts& texts = InitialPageTexts();
  for (const PlacedControl& control : layout::AllControls()) {
    if (control.initial != nullptr) ui_->SetBoxText(EditBox{control.name}, texts.*control.initial);
  }
  // Plain drawing until the start-up sequence switches the theme on.
  ui_->ApplyVisualStyle(0);
  ShowPage(0);
}

std::unique_ptr<MainWindow> CreateMainWindow() {
  INITCOMMONCONTROLSEX init{sizeof(init),
                            ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  static const ATOM window_class = [instance] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    // The icon resource holds 16, 32, 48 and 64 pixel images.
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    wc.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    return RegisterClassExW(&wc);
  }();
  if (window_class == 0) throw std::runtime_error("the window class could not be registered");

  // Before the window exists: the taskbar groups it by the process's ID.
  JoinTaskbarGroup();
  auto window = std::make_unique<MainWindow>();
  // Fixed border, system menu, minimise but no maximise; centred on the
  // primary screen's work area, at that screen's DPI.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const auto centred = [&work](int width, int height) {
    return layout::Geometry{static_cast<int>(work.left + (work.right - work.left - width) / 2),
                            static_cast<int>(work.top + (work.bottom - work.top - height) / 2),
                            width, height};
  };
  layout::Geometry at = centred(layout::kOuterWidth, layout::kOuterHeight);
  HWND hwnd = CreateWindowExW(
      0, kWindowClass, Wide(layout::kWindowTitle).c_str(),
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, at.left, at.top,
      at.width, at.height, nullptr, nullptr, instance, window.get());
  if (hwnd == nullptr) throw std::runtime_error("the main window could not be made");
  (void)SetTaskbarIdentity(hwnd);
  window->dpi_ = DpiOf(hwnd);
  window->Build();
  if (window->dpi_ != 96) {
    at = centred(window->Scaled(layout::kOuterWidth), window->Scaled(layout::kOuterHeight));
    SetWindowPos(hwnd, nullptr, at.left, at.top, at.width, at.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return window;
}

}  // namespace zelkor::win32
