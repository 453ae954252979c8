// How each kind of control of the layout is made on Win32 (window class and
// styles), and the subclass procedures the main window gives some of them.
#pragma once

#include <windows.h>
//
#include <commctrl.h>

#include "ui/layout.h"

namespace zelkor::win32 {

// The ids the main window's subclass procedures are installed under.
inline constexpr UINT_PTR kForwardSubclass = 1;
inline constexpr UINT_PTR kFrameSubclass = 2;
inline constexpr UINT_PTR kGroupSubclass = 3;
inline constexpr UINT_PTR kTextSubclass = 4;

struct Made {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

// The window class and styles `control` is made with; `first_radio`: it
// starts the group of radio buttons.
[[nodiscard]] Made StylesOf(const layout::PlacedControl& control, bool first_radio);

// Tab control and group boxes (installed with the main window as reference
// data): what their own controls tell them goes on to the main window.
LRESULT CALLBACK ForwardProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR main_window);
// Edit boxes and the list (reference data: the MainWindow): the frame drawn
// in the themed colour.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                           DWORD_PTR window_pointer);
// Output boxes (reference data: the MainWindow): a text set from outside
// replaces the whole text the box stood for.
LRESULT CALLBACK TextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR window_pointer);

}  // namespace zelkor::win32
