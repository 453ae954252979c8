#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>

#include "runtime/gbk.h"
#include "runtime/wide_text.h"
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
constexpr UINT_PTR kForwardSubclass = 1;
constexpr UINT_PTR kFrameSubclass = 2;
constexpr UINT_PTR kGroupSubclass = 3;
constexpr UINT_PTR kTextSubclass = 4;

COLORREF Rgb(layout::Colour c) { return RGB(c.red, c.green, c.blue); }

// Tab control and group boxes hold controls of their own; what those tell
// their parent goes on to the main window, which handles it for all.
LRESULT CALLBACK ForwardProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR main_window) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lparam)->hwndFrom != hwnd) {
        return SendMessageW(reinterpret_cast<HWND>(main_window), message, wparam, lparam);
      }
      break;
    case WM_ERASEBKGND: {
      if (id != kGroupSubclass) break;
      // A group box draws only its frame; what lies within it is ours.
      RECT area;
      GetClientRect(hwnd, &area);
      FillRect(reinterpret_cast<HDC>(wparam), &area, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// Edit boxes and the list: with themed drawing on, the frame is drawn in the
// scheme's colour over the platform's own.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR /*id*/,
                           DWORD_PTR window_pointer) {
  const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
  if (message != WM_NCPAINT) return result;
  const auto* window = reinterpret_cast<const MainWindow*>(window_pointer);
  if (window->frame_colour() == CLR_NONE) return result;
  if ((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) return result;
  HDC dc = GetWindowDC(hwnd);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  OffsetRect(&rect, -rect.left, -rect.top);
  HBRUSH frame = CreateSolidBrush(window->frame_colour());
  FrameRect(dc, &rect, frame);
  DeleteObject(frame);
  InflateRect(&rect, -1, -1);
  FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(hwnd, dc);
  return result;
}

// Output boxes: a text set from outside the window (a multi-line box tells
// its parent nothing of it) replaces the whole text the box stood for.
LRESULT CALLBACK TextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR /*id*/,
                          DWORD_PTR window_pointer) {
  const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
  if (message == WM_SETTEXT) reinterpret_cast<MainWindow*>(window_pointer)->EditTextChanged(hwnd);
  return result;
}

int CALLBACK NoteFace(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

int CALLBACK TakeFace(const LOGFONTW* font, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM face) {
  // Faces starting with "@" are the vertical forms.
  if (font->lfFaceName[0] == L'@') return 1;
  *reinterpret_cast<std::wstring*>(face) = font->lfFaceName;
  return 0;
}

bool FaceExists(HDC dc, const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The named face when the system has it; else SimSun's other names; else the
// first font that holds Chinese (GB2312) characters.
std::wstring AvailableFace(std::string_view utf8_face) {
  HDC dc = GetDC(nullptr);
  std::wstring face;
  const std::wstring named = Wide(utf8_face);
  for (const wchar_t* candidate :
       {named.c_str(), L"NSimSun", L"SimSun", L"\x5b8b\x4f53" /* 宋体 */}) {
    if (FaceExists(dc, candidate)) {
      face = candidate;
      break;
    }
  }
  if (face.empty()) {
    LOGFONTW query{};
    query.lfCharSet = GB2312_CHARSET;
    EnumFontFamiliesExW(dc, &query, TakeFace, reinterpret_cast<LPARAM>(&face), 0);
  }
  ReleaseDC(nullptr, dc);
  return face;
}

// A font height of 96-DPI units at `dpi`, rounded down: a font never grows
// past the box it was laid out in, and a text wraps at every DPI as at 96.
LONG ScaledFontHeight(LONG height, int dpi) { return height * dpi / 96; }

HFONT MakeFont(const layout::FontSpec& wanted, int dpi) {
  LOGFONTW font{};
  // Character height, internal leading excluded.
  font.lfHeight = -ScaledFontHeight(wanted.height, dpi);
  font.lfWeight = wanted.weight;
  font.lfCharSet = GB2312_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = AvailableFace(wanted.face);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// A function of user32 the program may run without: Windows 7 lacks the
// per-monitor DPI functions (Windows 10 1607 and later).
template <typename Function>
Function UserFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The DPI the system's metrics are given in.
int SystemDpi() {
  static const auto get_dpi_for_system = UserFunction<UINT(WINAPI*)()>("GetDpiForSystem");
  if (get_dpi_for_system != nullptr) return static_cast<int>(get_dpi_for_system());
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

// The DPI of the screen a window is on; without per-monitor DPI (Windows 7),
// the one DPI of every screen.
int DpiOf(HWND hwnd) {
  static const auto get_dpi_for_window = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = get_dpi_for_window != nullptr ? static_cast<int>(get_dpi_for_window(hwnd)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

// The desktop's own font for dialogs and messages, at `dpi`.
HFONT MakeUiFont(int dpi) {
  static const auto metrics_for_dpi =
      UserFunction<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (metrics_for_dpi != nullptr &&
      metrics_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 96)) {
    metrics.lfMessageFont.lfHeight = ScaledFontHeight(metrics.lfMessageFont.lfHeight, dpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  }
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  return CreateFontIndirectW(&font);
}

struct Made {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

Made StylesOf(const PlacedControl& control, bool first_radio) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  switch (control.kind) {
    case Kind::kEditBox: {
      DWORD style = kChild | WS_TABSTOP | WS_GROUP;
      switch (control.look) {
        case Look::kDrawBox:
          style |= ES_CENTER | ES_READONLY | ES_AUTOHSCROLL;
          break;
        case Look::kOutputBox:
          style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
          break;
        case Look::kFooterBox:
          style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
          break;
        default:
          style |= ES_AUTOHSCROLL;
          break;
      }
      return {WC_EDITW, style, WS_EX_CLIENTEDGE};
    }
    case Kind::kListView:
      return {WC_LISTVIEWW,
              kChild | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                  LVS_OWNERDATA,
              WS_EX_CLIENTEDGE};
    case Kind::kTabControl:
      // A control parent: Tab moves on into the controls it holds.
      return {WC_TABCONTROLW, kChild | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case Kind::kButton:
      return {WC_BUTTONW, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
    case Kind::kGroupBox:
      return {WC_BUTTONW, kChild | WS_GROUP | WS_CLIPCHILDREN | BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case Kind::kRadioButton:
      return {WC_BUTTONW, kChild | WS_TABSTOP | BS_RADIOBUTTON | (first_radio ? WS_GROUP : 0u), 0};
    case Kind::kLabel:
      return {WC_STATICW, kChild | WS_GROUP | SS_LEFT, 0};
  }
  return {WC_STATICW, kChild, 0};
}

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
  for (HFONT font : fonts_) DeleteObject(font);
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
  const layout::Geometry& g = control.geometry;
  HWND hwnd = CreateWindowExW(
      made.ex_style, made.window_class, Wide(control.caption).c_str(), made.style, Scaled(g.left),
      Scaled(g.top), Scaled(g.width), Scaled(g.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) throw std::runtime_error("a control could not be made");
  by_name_.emplace(std::string(control.name), hwnd);
  layouts_.emplace(hwnd, &control);
  by_id_.emplace(id, hwnd);
  return hwnd;
}

void MainWindow::MakeFonts() {
  fonts_ = {MakeUiFont(dpi_), MakeFont(layout::kDrawBoxFont, dpi_),
            MakeFont(layout::kTabCaptionFont, dpi_)};
}

HFONT MainWindow::FontFor(const PlacedControl& control) const {
  if (control.kind == Kind::kTabControl) return fonts_[2];
  if (control.look == Look::kDrawBox) return fonts_[1];
  return fonts_[0];
}

void MainWindow::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  const std::vector<HFONT> old_fonts = std::move(fonts_);
  MakeFonts();
  for (const auto& [control, placed] : layouts_) {
    const layout::Geometry& g = placed->geometry;
    SetWindowPos(control, nullptr, Scaled(g.left), Scaled(g.top), Scaled(g.width), Scaled(g.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*placed)), TRUE);
  }
  int index = 0;
  for (const layout::ListColumn& column : layout::kListColumns) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++), Scaled(column.width));
  }
  for (HFONT font : old_fonts) DeleteObject(font);
}

void MainWindow::Build() {
  MakeFonts();
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
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control)), FALSE);
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
