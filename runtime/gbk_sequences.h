// Where a converter that cannot convert a character skips to, shared by the
// conversions of every platform so that both turn the same bytes into "?".
#pragma once

#include <cstddef>

namespace zelkor {

// Bytes of the broken or unconvertible UTF-8 character at `p`: its lead byte
// and the continuation bytes that follow it, at most as many as it announces.
inline size_t Utf8SequenceLength(const char* p, size_t left) {
  const auto lead = static_cast<unsigned char>(p[0]);
  size_t announced = 1;
  if (lead >= 0xF0 && lead <= 0xF4) {
    announced = 4;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    announced = 3;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    announced = 2;
  }
  size_t n = 1;
  while (n < announced && n < left && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80) ++n;
  return n;
}

// A GBK lead byte takes its trail byte with it when the pair is not valid.
inline size_t GbkSequenceLength(const char* p, size_t left) {
  const auto lead = static_cast<unsigned char>(p[0]);
  return (lead >= 0x81 && lead <= 0xFE && left > 1) ? 2 : 1;
}

}  // namespace zelkor
