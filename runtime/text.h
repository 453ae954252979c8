// Text and number operations. Texts are GBK byte strings; positions count
// bytes from 1, and searches step over a double-byte character as a unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/array.h"

namespace zelkor {

// A GBK byte string. An absent text and "" are the same value.
using Text = std::string;
// Raw bytes, which unlike a text may hold zero bytes (an HTTP body).
using Bytes = std::string;
using TextArray = Array<Text>;

// Bytes of the character that starts at byte `pos` (0-based, inside `text`):
// 2 for a byte of 0x80 or above with a byte after it, otherwise 1.
[[nodiscard]] size_t CharacterWidthAt(std::string_view text, size_t pos);
// The bytes every operation sees: those before the first zero byte.
[[nodiscard]] std::string_view TextView(std::string_view text);
// Number of bytes; a double-byte character counts 2.
[[nodiscard]] int32_t TextLength(std::string_view text);
// The first `count` bytes (none for count <= 0).
[[nodiscard]] Text TextLeft(std::string_view text, int32_t count);
// `count` bytes from the 1-based byte position `start`; "" when out of range.
[[nodiscard]] Text TextMid(std::string_view text, int32_t start, int32_t count);
// 1-based position of `needle` at or after `start`, or -1. Candidates advance
// by whole characters, so a match never starts inside a double-byte character.
[[nodiscard]] int32_t TextFind(std::string_view text, std::string_view needle, int32_t start = 1,
                               bool ignore_case = false);
// Replaces up to `count` (all when absent) occurrences of `search` from `start`.
[[nodiscard]] Text TextReplace(std::string_view text, std::string_view search,
                               std::string_view replacement = {}, int32_t start = 1,
                               std::optional<int32_t> count = std::nullopt,
                               bool case_sensitive = true);
// Splits at `delimiter`; an empty tail is dropped, inner empty pieces are kept.
[[nodiscard]] TextArray TextSplit(std::string_view text, std::string_view delimiter = ",",
                                  std::optional<int32_t> max_count = std::nullopt);
// Concatenation of the arguments in order.
template <typename... Parts>
[[nodiscard]] Text TextJoin(const Parts&... parts) {
  Text joined;
  (joined.append(std::string_view(parts)), ...);
  return joined;
}
// -1, 0 or 1 comparing bytes as unsigned values.
[[nodiscard]] int TextCompare(std::string_view a, std::string_view b);

// Lenient decimal reading: full-width forms rewritten to ASCII, leading blanks
// skipped, reading stops at the first character that does not fit; 0 when
// nothing fits. Independent of the process locale.
[[nodiscard]] double ToNumber(std::string_view text);
[[nodiscard]] inline double ToNumber(int32_t value) { return value; }
// Lenient integer reading (sign and digits only; "3.9" gives 3).
[[nodiscard]] int32_t ToInteger(std::string_view text);
// Truncates toward zero.
[[nodiscard]] int32_t ToInteger(double value);

[[nodiscard]] Text ToText(int32_t value);
// "%.13g" with "." as the decimal point whatever the locale.
[[nodiscard]] Text ToText(double value);
// "真" or "假".
[[nodiscard]] Text ToText(bool value);
// The bytes up to the first zero byte.
[[nodiscard]] Text TextFromBytes(std::string_view bytes);
// The text's bytes without a terminating zero.
[[nodiscard]] Bytes ToBytes(std::string_view text);

// Rounds halves away from zero; a value short of a half by less than 1e-12
// after scaling rounds away from zero too.
[[nodiscard]] double RoundNumber(double value, int32_t places = 0);
[[nodiscard]] double AbsValue(double value);
// Truncates toward zero, saturating at the 32-bit limits (NaN gives 0).
[[nodiscard]] int32_t TruncateToInteger(double value);

}  // namespace zelkor
