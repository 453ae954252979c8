#include "ui/win32/fonts.h"

#include <string>
#include <string_view>

#include "runtime/wide_text.h"
#include "ui/win32/dpi.h"

namespace zelkor::win32 {
namespace {

using layout::Kind;
using layout::Look;

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
  const std::wstring named = Utf8ToWide(utf8_face);
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

// The height of a line of `font`.
int LineHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return static_cast<int>(metrics.tmHeight);
}

}  // namespace

WindowFonts::WindowFonts(int dpi)
    : ui_(MakeUiFont(dpi)),
      draw_box_(MakeFont(layout::kDrawBoxFont, dpi)),
      tab_captions_(MakeFont(layout::kTabCaptionFont, dpi)) {}

WindowFonts::~WindowFonts() {
  for (HFONT font : {ui_, draw_box_, tab_captions_}) DeleteObject(font);
  for (const auto& [height, font] : smaller_) DeleteObject(font);
}

HFONT WindowFonts::For(const layout::PlacedControl& placed, HWND control) {
  if (placed.kind == Kind::kTabControl) return tab_captions_;
  if (placed.look == Look::kDrawBox) return draw_box_;
  if (placed.kind == Kind::kLabel || placed.look == Look::kSettingBox) {
    // The room within the frame, if any.
    RECT room{};
    GetClientRect(control, &room);
    return DialogFontWithin(static_cast<int>(room.bottom - room.top));
  }
  return ui_;
}

HFONT WindowFonts::DialogFontWithin(int height) {
  if (LineHeight(ui_) <= height) return ui_;
  if (auto it = smaller_.find(height); it != smaller_.end()) return it->second;
  LOGFONTW font{};
  GetObjectW(ui_, sizeof(font), &font);
  // One pixel smaller at a time, down to 6 pixels.
  const LONG sign = font.lfHeight < 0 ? -1 : 1;
  HFONT smaller = nullptr;
  for (LONG size = font.lfHeight * sign - 1; size >= 6; --size) {
    font.lfHeight = sign * size;
    smaller = CreateFontIndirectW(&font);
    if (LineHeight(smaller) <= height || size == 6) break;
    DeleteObject(smaller);
  }
  if (smaller == nullptr) return ui_;
  smaller_.emplace(height, smaller);
  return smaller;
}

}  // namespace zelkor::win32
