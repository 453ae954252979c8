// The text and number operations on arbitrary bytes and positions. Each input
// runs every operation once and checks what must hold whatever the bytes:
// results stay inside their text, searches and splits agree with the bytes,
// conversions round-trip, and the only run-time errors are an array's own.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "runtime/gbk.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace {

using zelkor::Text;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_text: %s\n", what);
  std::abort();
}
void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithAt(std::string_view text, size_t at, std::string_view needle, bool ignore_case) {
  if (at > text.size() || text.size() - at < needle.size()) return false;
  for (size_t i = 0; i < needle.size(); ++i) {
    if (ignore_case ? Lower(text[at + i]) != Lower(needle[i]) : text[at + i] != needle[i]) {
      return false;
    }
  }
  return true;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// True when stepping character by character from `from` lands on `at`: a byte
// of 0x80 or above with a byte after it begins a double-byte character.
// The start of the character after the one at `pos`.
size_t NextCharacter(std::string_view text, size_t pos) {
  return pos + ((static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size()) ? 2 : 1);
}

bool OnCharacterBoundary(std::string_view text, size_t from, size_t at) {
  size_t pos = from;
  while (pos < at) pos = NextCharacter(text, pos);
  return pos == at;
}

// True when the text's last character, stepping from its start, is a lone
// byte of 0x80 or above: in a longer text it would begin a double-byte pair.
bool EndsInLeadByte(std::string_view text) {
  size_t pos = 0;
  size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    pos = NextCharacter(text, pos);
  }
  return !text.empty() && pos - last == 1 && static_cast<unsigned char>(text[last]) >= 0x80;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

void CheckSlices(std::string_view text, int32_t a, int32_t b) {
  const std::string_view plain = UpToZero(text);
  Check(zelkor::TextLength(text) == static_cast<int32_t>(plain.size()), "TextLength");
  Check(zelkor::TextFromBytes(text) == plain && zelkor::ToBytes(text) == plain, "up to zero");

  const Text left = zelkor::TextLeft(text, a);
  Check(plain.starts_with(left), "TextLeft is a prefix");
  Check(left.size() == (a <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(a), plain.size())),
        "TextLeft length");

  const Text mid = zelkor::TextMid(text, a, b);
  if (a >= 1 && static_cast<size_t>(a) <= plain.size() && b >= 1) {
    Check(plain.substr(static_cast<size_t>(a) - 1).starts_with(mid), "TextMid position");
    Check(mid.size() == std::min<size_t>(static_cast<size_t>(b), plain.size() - (a - 1)),
          "TextMid length");
  } else {
    Check(mid.empty(), "TextMid out of range");
  }
}

void CheckFind(std::string_view text, std::string_view needle, int32_t start, bool ignore_case) {
  const std::string_view plain = UpToZero(text);
  const std::string_view plain_needle = UpToZero(needle);
  const int32_t found = zelkor::TextFind(text, needle, start, ignore_case);
  const size_t from = static_cast<size_t>(std::max(start, 1) - 1);
  if (found != -1) {
    Check(found >= 1 && static_cast<size_t>(found) - 1 >= (plain_needle.empty() ? 0 : from),
          "TextFind before its start");
    Check(StartsWithAt(plain, static_cast<size_t>(found) - 1, plain_needle, ignore_case),
          "TextFind reports a place without the needle");
    if (!plain_needle.empty()) {
      Check(OnCharacterBoundary(plain, from, static_cast<size_t>(found) - 1),
            "TextFind matched inside a double-byte character");
    }
  }
  // Over plain ASCII every byte is a character, so the first byte-level
  // occurrence at or after the start must be found.
  if (!plain_needle.empty() && from < plain.size() && IsAscii(plain.substr(from))) {
    size_t first = std::string_view::npos;
    for (size_t at = from; at < plain.size(); ++at) {
      if (StartsWithAt(plain, at, plain_needle, ignore_case)) {
        first = at;
        break;
      }
    }
    Check(first == std::string_view::npos ? found == -1 : found == static_cast<int32_t>(first) + 1,
          "TextFind misses the first occurrence");
  }
}

void CheckReplace(std::string_view text, std::string_view search, std::string_view replacement,
                  int32_t start, int32_t count) {
  const std::string_view plain = UpToZero(text);
  Check(zelkor::TextReplace(text, search, search, start) == plain, "replacing with itself");
  if (zelkor::TextFind(text, search, start) == -1 && !UpToZero(search).empty()) {
    Check(zelkor::TextReplace(text, search, replacement, start, count) == plain,
          "replacing what is not there");
  }
  const Text replaced = zelkor::TextReplace(text, search, replacement, start, count);
  const size_t kept = static_cast<size_t>(std::clamp(start, 1, 1 << 30) - 1);
  Check(replaced.starts_with(plain.substr(0, std::min(kept, plain.size()))),
        "text before the start changed");
}

void CheckSplit(std::string_view text, std::string_view delimiter, int32_t max_count,
                int32_t index) {
  const std::string_view plain = UpToZero(text);
  const std::string_view plain_delimiter = UpToZero(delimiter);
  for (const bool limited : {false, true}) {
    const zelkor::TextArray pieces = limited ? zelkor::TextSplit(text, delimiter, max_count)
                                             : zelkor::TextSplit(text, delimiter);
    Text joined;
    // Character starts are stepped to from the text's start once, in step
    // with the growing join (stepping from the start for each piece would be
    // quadratic on a text of many pieces).
    size_t stepped = 0;
    for (int32_t i = 1; i <= pieces.Count(); ++i) {
      if (i > 1) joined.append(plain_delimiter);
      joined.append(pieces.At(i));
      // A delimiter only counts where a character begins. (One that ends in
      // a lone lead byte may take just the first byte of a pair, and the
      // search goes on from the byte after it.)
      if ((i < pieces.Count() || joined.size() < plain.size()) &&
          !EndsInLeadByte(plain_delimiter)) {
        while (stepped < std::min(joined.size(), plain.size()))
          stepped = NextCharacter(plain, stepped);
        Check(stepped == joined.size(), "split inside a double-byte character");
      }
    }
    if (limited) {
      Check(pieces.Count() <= std::max(max_count, 0), "more pieces than asked for");
      Check(plain.starts_with(joined), "limited pieces are not the text's start");
    } else if (plain_delimiter.empty()) {
      Check(joined == plain, "split without a delimiter");
    } else {
      // Only an empty last piece is dropped.
      Check(joined == plain || zelkor::TextJoin(joined, plain_delimiter) == plain,
            "pieces do not make up the text");
    }

    // Addressing a piece: the run-time errors are those an array defines.
    try {
      const Text& piece = pieces.At(index);
      Check(index >= 1 && index <= pieces.Count(), "At outside the array");
      Check(plain.find(piece) != std::string_view::npos, "piece not in the text");
    } catch (const zelkor::RuntimeError& error) {
      Check(index < 1 ? error.code() == 4 : error.code() == 1 && index > pieces.Count(),
            "wrong array error");
    }
  }
}

void CheckNumbers(std::string_view text, double number, int32_t integer, int32_t places) {
  const double read = zelkor::ToNumber(text);
  if (std::isfinite(read)) {
    const Text once = zelkor::ToText(read);
    Check(zelkor::ToText(zelkor::ToNumber(once)) == once, "number text does not round-trip");
  }

  char printed[64];
  std::snprintf(printed, sizeof printed, "%.13g", number);
  Check(zelkor::ToText(number) == printed, "ToText differs from %.13g");

  Check(zelkor::ToInteger(zelkor::ToText(integer)) == integer, "integer text does not round-trip");
  const int32_t truncated = zelkor::TruncateToInteger(number);
  if (std::isnan(number)) {
    Check(truncated == 0, "NaN truncates to 0");
  } else if (std::fabs(number) < 2147483647.0) {
    Check(truncated == static_cast<int32_t>(std::trunc(number)), "truncation");
  } else {
    Check(truncated == (number > 0 ? std::numeric_limits<int32_t>::max()
                                   : std::numeric_limits<int32_t>::min()),
          "truncation saturates");
  }

  const double scale = std::pow(10.0, places);
  if (std::isfinite(number) && std::fabs(number * scale) < 1e15) {
    const double rounded = zelkor::RoundNumber(number, places);
    Check(std::fabs(rounded - number) <=
              0.5 / scale * (1 + 1e-9) + 1e-12 / scale + std::fabs(number) * 1e-15,
          "rounding moved too far");
    Check(rounded == 0 || std::signbit(rounded) == std::signbit(number), "rounding sign");
  }

  const std::string_view plain = UpToZero(text);
  if (IsAscii(plain)) {
    // Blanks, an optional sign and digits; anything else ends the reading.
    size_t at = 0;
    while (at < plain.size() &&
           std::string_view(" \t\n\v\f\r").find(plain[at]) != std::string_view::npos)
      ++at;
    const bool negative = at < plain.size() && plain[at] == '-';
    if (at < plain.size() && (plain[at] == '-' || plain[at] == '+')) ++at;
    long double value = 0;
    for (; at < plain.size() && plain[at] >= '0' && plain[at] <= '9'; ++at) {
      value = std::min(value * 10 + (plain[at] - '0'), 1e12L);
    }
    if (negative) value = -value;
    const long double clamped =
        std::clamp(value, static_cast<long double>(std::numeric_limits<int32_t>::min()),
                   static_cast<long double>(std::numeric_limits<int32_t>::max()));
    Check(zelkor::ToInteger(text) == static_cast<int32_t>(clamped), "ToInteger");
  }
}

void CheckCompare(std::string_view a, std::string_view b) {
  const int order = zelkor::TextCompare(a, b);
  Check(order == -zelkor::TextCompare(b, a), "TextCompare is not antisymmetric");
  const int expected = UpToZero(a).compare(UpToZero(b));
  Check(order == (expected > 0) - (expected < 0), "TextCompare order");
}

void CheckGbk(std::string_view text) {
  const std::string utf8 = zelkor::GbkToUtf8(text);
  Check(IsValidUtf8(utf8), "GBK to UTF-8 gives broken UTF-8");
  const std::string gbk = zelkor::Utf8ToGbk(text);
  Check(IsValidUtf8(zelkor::GbkToUtf8(gbk)), "UTF-8 to GBK and back gives broken UTF-8");
  // A text GBK fully understands comes back unchanged.
  if (text.find('?') == std::string_view::npos && utf8.find('?') == std::string::npos) {
    Check(zelkor::Utf8ToGbk(utf8) == text, "GBK does not round-trip through UTF-8");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int32_t a = input.ConsumeIntegralInRange<int32_t>(-4, 80);
  const int32_t b = input.ConsumeIntegral<int32_t>();
  const int32_t places = input.ConsumeIntegralInRange<int32_t>(-12, 12);
  const bool ignore_case = input.ConsumeBool();
  const double number = input.ConsumeFloatingPoint<double>();
  const std::string needle = input.ConsumeRandomLengthString(16);
  const std::string replacement = input.ConsumeRandomLengthString(16);
  const std::string text = input.ConsumeRemainingBytesAsString();

  try {
    CheckSlices(text, a, b);
    CheckSlices(text, b, a);
    CheckFind(text, needle, a, ignore_case);
    CheckReplace(text, needle, replacement, a, b % 4);
    CheckSplit(text, needle, a % 8, b % 8);
    CheckNumbers(text, number, b, places);
    CheckCompare(text, needle);
    CheckGbk(text);
  } catch (const zelkor::RuntimeError& error) {
    std::fprintf(stderr, "fuzz_text: unexpected run-time error %d\n", error.code());
    std::abort();
  }
  return 0;
}
