// The fonts of the Win32 main window at one DPI: the desktop's own dialog
// font for most controls, the layout's Song faces for the draw box and the
// tab captions. Where a Song face is not installed, its other names and then
// any face holding Chinese characters stand in.
//
// The labels and setting boxes were laid out for a 12-pixel line (16-pixel
// labels, setting boxes with 12 pixels inside their frame). A dialog font
// with a taller line (Chinese Windows' 12-pixel UI face takes 16 or more)
// would cut their texts off at the bottom: they get the same face at the
// largest size whose line fits.
#pragma once

#include <windows.h>

#include <map>

#include "ui/layout.h"

namespace zelkor::win32 {

class WindowFonts {
 public:
  // Makes every font for `dpi`.
  explicit WindowFonts(int dpi);
  ~WindowFonts();
  WindowFonts(const WindowFonts&) = delete;
  WindowFonts& operator=(const WindowFonts&) = delete;

  // The font `control` (made from `placed`, at its place and size) is shown in.
  [[nodiscard]] HFONT For(const layout::PlacedControl& placed, HWND control);

 private:
  // The dialog font, or the same face smaller, whose line is at most
  // `height` pixels.
  HFONT DialogFontWithin(int height);

  HFONT ui_;
  HFONT draw_box_;
  HFONT tab_captions_;
  // The smaller dialog fonts by the line height they were made for.
  std::map<int, HFONT> smaller_;
};

}  // namespace zelkor::win32
