#include "backtest/wording.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace zelkor {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    size_t length = 1;
    uint32_t code = lead;
    if (lead >= 0xF0) {
      length = 4;
      code = lead & 0x07u;
    } else if (lead >= 0xE0) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xC0) {
      length = 2;
      code = lead & 0x1Fu;
    }
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    // The wide ranges the report's own texts use: CJK punctuation and
    // ideographs, Hangul, and the full-width forms.
    const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                      (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                      (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                      (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
    width += wide ? 2 : 1;
    i += length;
  }
  return width;
}

std::string Padded(std::string_view utf8, int width) {
  const auto wanted = static_cast<size_t>(std::abs(width));
  const size_t shown = DisplayWidth(utf8);
  const std::string room(wanted > shown ? wanted - shown : 0, ' ');
  return width > 0 ? room + std::string(utf8) : std::string(utf8) + room;
}

}  // namespace zelkor
