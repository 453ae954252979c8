// The pure pieces the three analyses are made of: the draw value, the digit
// picks and the verdicts. They work on plain texts and numbers only.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/analysis.h"
#include "runtime/text.h"

namespace zelkor {

// How many kill spans the kill-span page picks and checks.
inline constexpr int32_t KillSpanCount = 2;
// How many banker digits the banker page picks.
inline constexpr int32_t kBankerCount = 3;

// The value computed from a source draw, and its printed form.
struct DrawValue {
  double value = 0.0;
  Text text;
};

// The first three characters of a digits text, one byte each; a missing
// character gives "".
[[nodiscard]] std::array<Text, 3> SplitDrawDigits(const Text& digits);

// |digit sum - number * 3.14159265358 / 2.718281828 * multiplier|, rounded to
// nine places, and its text.
[[nodiscard]] DrawValue ComputeDrawValue(const Text& digits, double multiplier);

// The 4th character of the value text's last "."-separated piece, or "".
[[nodiscard]] Text PickKillDigit(const Text& value_text);

// True when the kill digit differs from the checked draw's digit at `position`
// (1 百, 2 十, 3 个; any other position reads "").
[[nodiscard]] bool KillDigitHolds(int32_t position, const Text& kill_digit,
                                  const Text& checked_digits);

// `count` distinct characters of the value text with its "." removed, its first
// character skipped, in order of first appearance, completed from 1 to 9 and 0.
[[nodiscard]] Text PickDistinctDigits(const Text& value_text, int32_t count);

// True when any of the checked draw's first three characters is a banker digit.
[[nodiscard]] bool CheckBanker(const Text& banker_digits, const Text& checked_draw);

// The notice for a checked draw that is not exactly three bytes long (GBK).
[[nodiscard]] const Text& KillSpanInputNotice();

// True when the checked draw's span (largest minus smallest digit) is none of
// the kill spans. A draw not three bytes long is announced through `notify`
// first; an empty one, having no digits to judge, counts as wrong.
[[nodiscard]] bool CheckKillSpan(const Text& kill_spans, const Text& checked_draw,
                                 const Notify& notify);

}  // namespace zelkor
