// The main window of Zelkor3D on Win32, built from the shared layout tables
// (ui/layout.h) with the platform's own controls: EDIT boxes, a report-style
// virtual list view, a tab control, buttons, radio buttons, group boxes and
// static labels. Texts cross to the controls as UTF-16 converted from GBK
// with code page 936, whatever the system's own code page is.
//
// Use from main():
//   std::unique_ptr<zelkor::win32::MainWindow> window = zelkor::win32::CreateMainWindow();
//   window->SetButtonHandler(ctl::按钮_杀码, ...);   // app/win32_event_wiring.h
//   RunStartup(window->ui());                        // the creation event
//   window->Show();                                  // centred, page 0 in front
//   return window->RunMessageLoop();                 // until the window closes
#pragma once

#include <windows.h>
//
#include <commctrl.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/layout.h"
#include "ui/ui_operations.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"

namespace zelkor::win32 {

class Win32Ui;

class MainWindow {
 public:
  // Use CreateMainWindow().
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The operations the logic uses on this window's controls.
  [[nodiscard]] UiOperations& ui();

  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  // The control named `name` (UTF-8 layout name), or nullptr.
  [[nodiscard]] HWND Control(std::string_view name) const;
  // The layout entry a control was made from, or nullptr.
  [[nodiscard]] const layout::PlacedControl* LayoutOf(HWND control) const;

  // The handler of a button's click notification (mouse or keyboard).
  void SetButtonHandler(Button button, std::function<void()> handler);
  // The handler of a left click anywhere in the history list, raised after
  // the click has updated the selection.
  void SetListClickHandler(std::function<void()> handler);

  // Shows the window where CreateMainWindow placed it.
  void Show();
  // Processes input until the window is closed; returns the exit code.
  int RunMessageLoop();
  // Handles one message the way the message loop does (Esc closes the
  // window from any of its controls, Tab moves the focus); false when the
  // caller should translate and dispatch it itself.
  bool PreTranslate(const MSG& msg);

  // Brings page `index` of 高级选择夹1 to the front, as a click on its tab does.
  void ShowPage(int index);
  [[nodiscard]] int CurrentPage() const;

  // The history list's rows, GBK (column 0 the issue, column 1 the digits).
  [[nodiscard]] std::vector<std::array<Text, 2>>& rows() { return rows_; }
  // Has the list view show the rows as they are now, once the running
  // handler has returned.
  void RowsChanged();
  // Tells the list view now.
  void SyncRows();

  // Sets the text edit box `edit` shows. `whole`: the text the box stands
  // for when `shown` is only part of it (see ui/shown_part.h), kept for
  // WholeTextOf; the box is read-only then, since typing into a text partly
  // hidden would edit what cannot be seen. nullptr: `shown` is the whole.
  void SetEditText(HWND edit, const std::wstring& shown, const Text* whole);
  // The whole text of an edit box that shows only part of it, or nullptr.
  [[nodiscard]] const Text* WholeTextOf(HWND edit) const;
  // A box's text changed other than through SetEditText: what it shows is
  // its whole text from now on.
  void EditTextChanged(HWND edit);
  // Whether an edit box is read-only whatever it shows (编辑框1).
  [[nodiscard]] bool ReadOnlyByLook(HWND edit) const;

  // The frame colour themed drawing uses now (CLR_NONE: plain look).
  void SetFrameColour(COLORREF colour);
  [[nodiscard]] COLORREF frame_colour() const { return frame_colour_; }
  // The DPI the window is laid out for (96: the layout's own units).
  [[nodiscard]] int dpi() const { return dpi_; }
  // Lays the controls out again for `dpi`: every place, size, list column
  // and font scaled from the layout's 96-DPI units by dpi/96. The window's
  // own size is the caller's (on a DPI change the system suggests it).
  void ApplyDpi(int dpi);
  // Every control, for switching the theme.
  [[nodiscard]] const std::map<HWND, const layout::PlacedControl*>& controls() const {
    return layouts_;
  }

 private:
  friend std::unique_ptr<MainWindow> CreateMainWindow();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(const NMHDR& header, LPARAM lparam);
  LRESULT OnControlColour(HDC dc, HWND control);
  void Build();
  HWND Make(const layout::PlacedControl& control, HWND parent, int id);
  [[nodiscard]] int Scaled(int length) const { return ScaledLength(length, dpi_); }

  static constexpr UINT kSyncRowsMessage = WM_APP + 1;

  HWND hwnd_ = nullptr;
  bool rows_sync_posted_ = false;
  HWND list_ = nullptr;
  HWND tabs_ = nullptr;
  std::map<std::string, HWND, std::less<>> by_name_;
  std::map<HWND, const layout::PlacedControl*> layouts_;
  std::map<int, std::function<void()>> button_handlers_;
  std::map<int, HWND> by_id_;
  std::function<void()> list_click_handler_;
  std::array<std::vector<HWND>, layout::kPageCount> pages_;
  std::vector<std::array<Text, 2>> rows_;
  std::map<HWND, Text> whole_texts_;
  bool setting_text_ = false;
  std::wstring cell_buffer_;
  int dpi_ = 96;
  // The controls' fonts at dpi_.
  std::unique_ptr<WindowFonts> fonts_;
  HBRUSH white_brush_ = nullptr;
  COLORREF frame_colour_ = CLR_NONE;
  std::unique_ptr<Win32Ui> ui_;
};

// Builds the main window with every control and its initial content, page 0
// in front and 单选框_百 selected, centred on the screen and scaled to its
// DPI; does not show it.
// Throws std::runtime_error when the window cannot be made.
[[nodiscard]] std::unique_ptr<MainWindow> CreateMainWindow();

// The UTF-16 form of a UTF-8 layout text and of a GBK text (code page 936).
[[nodiscard]] std::wstring Wide(std::string_view utf8);
// UTF-16 from a control as GBK.
[[nodiscard]] Text WideToGbk(std::wstring_view wide);

}  // namespace zelkor::win32
