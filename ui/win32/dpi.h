// Screen DPI on Win32: what the system and a window's screen are set to, and
// lengths of the layout's 96-DPI units scaled to them. The per-monitor
// functions are looked up at run time, since Windows 7 lacks them.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace zelkor::win32 {

// A function of user32 the program may run without (nullptr when missing):
// Windows 7 lacks the per-monitor DPI functions (Windows 10 1607 and later).
template <typename Function>
[[nodiscard]] Function UserFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The DPI the system's metrics are given in.
[[nodiscard]] int SystemDpi();

// The DPI of the screen a window is on; without per-monitor DPI (Windows 7),
// the one DPI of every screen.
[[nodiscard]] int DpiOf(HWND hwnd);

// A length of the layout's 96-DPI units at `dpi`, rounded to the nearest pixel.
[[nodiscard]] inline int ScaledLength(int length, int dpi) { return MulDiv(length, dpi, 96); }

// A control's place and size at `dpi`: each edge scaled on its own, so that
// controls that touch at 96 DPI touch at any DPI and never overlap by a
// pixel of rounding.
[[nodiscard]] inline layout::Geometry ScaledGeometry(const layout::Geometry& g, int dpi) {
  const int left = ScaledLength(g.left, dpi);
  const int top = ScaledLength(g.top, dpi);
  return {left, top, ScaledLength(g.left + g.width, dpi) - left,
          ScaledLength(g.top + g.height, dpi) - top};
}

}  // namespace zelkor::win32
