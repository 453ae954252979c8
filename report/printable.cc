#include "report/printable.h"

#include <array>
#include <cstdint>

namespace zelkor {

std::string Printable(std::string_view argument) {
  std::string shown;
  shown.reserve(argument.size());
  const auto hex = [&shown](unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    shown += "\\x";
    shown.push_back(kDigits[byte >> 4]);
    shown.push_back(kDigits[byte & 0xF]);
  };
  size_t i = 0;
  while (i < argument.size()) {
    const auto byte = static_cast<unsigned char>(argument[i]);
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
          shown += "\\\\";
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
    // A well-formed UTF-8 sequence passes unless it is a C1 control
    // character (U+0080 to U+009F), which terminals obey too.
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
    bool valid = length > 0 && i + length <= argument.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(argument[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (valid) {
      // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
      static constexpr std::array<uint32_t, 5> kLeast{0, 0, 0x80, 0x800, 0x10000};
      valid = code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF &&
              !(code >= 0x80 && code <= 0x9F);
    }
    if (valid) {
      shown.append(argument.substr(i, length));
      i += length;
    } else {
      hex(byte);
      ++i;
    }
  }
  return shown;
}

}  // namespace zelkor
