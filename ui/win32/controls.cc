#include "ui/win32/controls.h"

#include "ui/win32/main_window.h"

namespace zelkor::win32 {

using layout::Kind;
using layout::Look;
using layout::PlacedControl;

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

}  // namespace zelkor::win32
