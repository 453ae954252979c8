// zelkor3d-gbk-table: the runtime's GBK conversion of every character, both
// ways, one line each, so that two builds' tables can be compared byte for
// byte: every single byte and every lead/trail pair to UTF-8, then every
// character of the Basic Multilingual Plane (and one beyond it) to GBK.
#include <cstdio>
#include <iostream>
#include <string>

#include "runtime/gbk.h"
#include "runtime/program_io.h"

namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string Utf8Of(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

}  // namespace

int main() {
  zelkor::UseBinaryStandardStreams();
  std::string out;
  for (int byte = 1; byte < 0x100; ++byte) {
    const std::string gbk(1, static_cast<char>(byte));
    out += Hex(gbk) + " " + Hex(zelkor::GbkToUtf8(gbk)) + "\n";
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      out += Hex(gbk) + " " + Hex(zelkor::GbkToUtf8(gbk)) + "\n";
    }
  }
  for (char32_t c = 0x80; c <= 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;  // surrogates are no characters
    const std::string utf8 = Utf8Of(c);
    out += "U+" + Hex(utf8) + " " + Hex(zelkor::Utf8ToGbk(utf8)) + "\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
