#include "analysis/picks.h"

#include <algorithm>

#include "runtime/array.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

// These exact literals, not the library's pi and e, decide every printed value:
// changing a digit changes the ninth decimal place and with it the picks.
constexpr double kPiLiteral = 3.14159265358;
constexpr double kELiteral = 2.718281828;
constexpr int32_t kValuePlaces = 9;

// The fallback pass skips its first character like every pass, so the leading
// "1" is doubled to have 1 offered at all.
constexpr std::string_view kFallbackDigits = "11234567890";

// True when every byte is a one-byte character: no double-byte characters to
// step over and no zero byte to end the text early.
bool IsPlainAscii(std::string_view text) {
  for (const char byte : text) {
    const auto code = static_cast<unsigned char>(byte);
    if (code == 0 || code >= 0x80) return false;
  }
  return true;
}

// PickDistinctDigits with the text operations' character rules, for texts
// holding double-byte characters. The scan takes each byte of the text as
// `TextMid(scan, i, 1)` would, without the text operation per byte.
Text PickDistinctCharacters(const Text& value_text, int32_t count) {
  Text collected;
  Text scan = TextReplace(value_text, ".", "", 1, std::nullopt, true);
  while (TextLength(collected) < count) {
    const int32_t before = TextLength(collected);
    const std::string_view bytes = TextView(scan);
    for (size_t i = 1; i < bytes.size(); ++i) {
      const std::string_view ch = bytes.substr(i, 1);
      if (TextFind(collected, ch) == -1) collected.append(ch);
    }
    // A count above the ten fallback digits could never be met; stop rather
    // than spin once the fallback pass has nothing more to give.
    if (scan == kFallbackDigits && TextLength(collected) == before) break;
    scan = Text(kFallbackDigits);
  }
  return TextLeft(collected, count);
}

// ToInteger of a one-byte text: its digit, or 0 for any other byte.
int32_t DigitOf(char byte) { return (byte >= '0' && byte <= '9') ? byte - '0' : 0; }

}  // namespace

std::array<Text, 3> SplitDrawDigits(const Text& digits) {
  return {TextMid(digits, 1, 1), TextMid(digits, 2, 1), TextMid(digits, 3, 1)};
}

DrawValue ComputeDrawValue(const Text& digits, double multiplier) {
  const auto [c1, c2, c3] = SplitDrawDigits(digits);
  const double s = (ToNumber(c1) + ToNumber(c2)) + ToNumber(c3);
  const double v = ToNumber(TextJoin(c1, c2, c3));
  // One rounding per step, in this order; the build forbids fused multiply-add.
  const double x = v * kPiLiteral;
  const double y = x / kELiteral;
  const double z = y * multiplier;
  const double w = s - z;
  DrawValue result;
  result.value = RoundNumber(AbsValue(w), kValuePlaces);
  result.text = ToText(result.value);
  return result;
}

Text PickKillDigit(const Text& value_text) {
  const TextArray pieces = TextSplit(value_text, ".");
  return TextMid(pieces.At(pieces.Count()), 4, 1);
}

bool KillDigitHolds(int32_t position, const Text& kill_digit, const Text& checked_digits) {
  return TextCompare(kill_digit, TextMid(checked_digits, position, 1)) != 0;
}

Text PickDistinctDigits(const Text& value_text, int32_t count) {
  if (!IsPlainAscii(value_text)) return PickDistinctCharacters(value_text, count);
  // Every value text the walk makes is plain ASCII, where removing "." and
  // finding a byte in the collected text need no character stepping: the same
  // passes over bytes, without a text per byte. The walk spends most of its
  // time here.
  Text collected;
  std::array<bool, 128> taken{};
  Text scan;
  scan.reserve(value_text.size());
  for (const char byte : value_text) {
    if (byte != '.') scan.push_back(byte);
  }
  while (TextLength(collected) < count) {
    const size_t before = collected.size();
    for (size_t i = 1; i < scan.size(); ++i) {
      const auto byte = static_cast<unsigned char>(scan[i]);
      if (!taken[byte]) {
        taken[byte] = true;
        collected.push_back(scan[i]);
      }
    }
    if (scan == kFallbackDigits && collected.size() == before) break;
    scan = Text(kFallbackDigits);
  }
  return TextLeft(collected, count);
}

bool CheckBanker(const Text& banker_digits, const Text& checked_draw) {
  for (int32_t j = 1; j <= 3; ++j) {
    if (TextFind(banker_digits, TextMid(checked_draw, j, 1)) != -1) return true;
  }
  return false;
}

const Text& KillSpanInputNotice() {
  static const Text notice = Gbk("请查看你输入是否对错");
  return notice;
}

bool CheckKillSpan(const Text& kill_spans, const Text& checked_draw, const Notify& notify) {
  const int32_t length = TextLength(checked_draw);
  if (length != 3) notify(KillSpanInputNotice());
  // A draw with no digits has no span and cannot confirm a kill.
  if (length == 0) return false;

  // Sorting the digits and taking the last and the first gives the largest
  // and the smallest; one pass finds both, whatever the draw's length.
  int32_t largest = 0;
  int32_t smallest = 9;
  for (const char byte : TextView(checked_draw)) {
    largest = std::max(largest, DigitOf(byte));
    smallest = std::min(smallest, DigitOf(byte));
  }
  const Text span = ToText(ToNumber(largest) - ToNumber(smallest));

  for (int32_t m = 1; m <= KillSpanCount; ++m) {
    if (TextFind(span, TextMid(kill_spans, m, 1)) != -1) return false;
  }
  return true;
}

}  // namespace zelkor
