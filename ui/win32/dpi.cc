#include "ui/win32/dpi.h"

namespace zelkor::win32 {

int SystemDpi() {
  static const auto get_dpi_for_system = UserFunction<UINT(WINAPI*)()>("GetDpiForSystem");
  if (get_dpi_for_system != nullptr) return static_cast<int>(get_dpi_for_system());
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int DpiOf(HWND hwnd) {
  static const auto get_dpi_for_window = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = get_dpi_for_window != nullptr ? static_cast<int>(get_dpi_for_window(hwnd)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

}  // namespace zelkor::win32
