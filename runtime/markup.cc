#include "runtime/markup.h"

namespace zelkor {

std::string MarkupEscaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        // XML 1.0 allows no control characters but tab and line breaks.
        escaped.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
    }
  }
  return escaped;
}

}  // namespace zelkor
