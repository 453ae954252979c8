// The fonts of the Win32 main window at one DPI: the desktop's own dialog
// font for most controls, the layout's Song faces for the draw box and the
// tab captions. Where a Song face is not installed, its other names and then
// any face holding Chinese characters stand in.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace zelkor::win32 {

class WindowFonts {
 public:
  // Makes every font for `dpi`.
  explicit WindowFonts(int dpi);
  ~WindowFonts();
  WindowFonts(const WindowFonts&) = delete;
  WindowFonts& operator=(const WindowFonts&) = delete;

  // The font `control` is shown in.
  [[nodiscard]] HFONT For(const layout::PlacedControl& control) const;

 private:
  HFONT ui_;
  HFONT draw_box_;
  HFONT tab_captions_;
};

}  // namespace zelkor::win32
