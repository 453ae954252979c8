#include "runtime/printable.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zelkor {

namespace {

// The length of the well-formed UTF-8 sequence at `i` that may be shown as it
// is; 0 for a byte that is shown escaped (an ASCII byte included).
size_t ShownSequenceLength(std::string_view text, size_t i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  uint32_t code = 0;
  if (byte >= 0xC2 && byte <= 0xDF) {
    length = 2;
    code = byte & 0x1Fu;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    length = 3;
    code = byte & 0x0Fu;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    length = 4;
    code = byte & 0x07u;
  }
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3Fu);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8; C1
  // control characters (U+0080 to U+009F) are, but terminals obey them.
  static constexpr std::array<uint32_t, 5> kLeast{0, 0, 0x80, 0x800, 0x10000};
  const bool shown = code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF) &&
                     code <= 0x10FFFF && !(code >= 0x80 && code <= 0x9F);
  return shown ? length : 0;
}

std::string Escaped(std::string_view text, bool escape_backslash) {
  std::string shown;
  shown.reserve(text.size());
  const auto hex = [&shown](unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    shown += "\\x";
    shown.push_back(kDigits[byte >> 4]);
    shown.push_back(kDigits[byte & 0xF]);
  };
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '\n':
          shown += "\\n";
          break;
        case '\r':
          shown += "\\r";
          break;
        case '\t':
          shown += "\\t";
          break;
        case 0x1B:
          shown += "\\e";
          break;
        case '\\':
          shown += escape_backslash ? "\\\\" : "\\";
          break;
        default:
          if (byte < 0x20 || byte == 0x7F) {
            hex(byte);
          } else {
            shown.push_back(static_cast<char>(byte));
          }
      }
      ++i;
      continue;
    }
    if (const size_t length = ShownSequenceLength(text, i); length > 0) {
      shown.append(text.substr(i, length));
      i += length;
    } else {
      hex(byte);
      ++i;
    }
  }
  return shown;
}

std::string Cut(std::string_view text, size_t max_chars, bool escape_backslash) {
  // A character is what shows as one: a well-formed sequence, or any other
  // byte on its own (escaped). Each shows as at most four bytes, so the cut
  // is made before escaping and only what is shown is ever copied.
  size_t chars = 0;
  size_t end = 0;
  while (end < text.size() && chars < max_chars) {
    end += std::max<size_t>(1, ShownSequenceLength(text, end));
    ++chars;
  }
  if (end >= text.size()) return Escaped(text, escape_backslash);
  return Escaped(text.substr(0, end), escape_backslash) + "…";
}

}  // namespace

std::string Printable(std::string_view text) { return Escaped(text, true); }

std::string PrintableCut(std::string_view text, size_t max_chars) {
  return Cut(text, max_chars, true);
}

std::string PrintableCutKeepingBackslashes(std::string_view text, size_t max_chars) {
  return Cut(text, max_chars, false);
}

}  // namespace zelkor
