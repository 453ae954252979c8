// Windows has no strtod_l for a locale of one's own; std::from_chars never
// looks at a locale and rounds correctly, as glibc's strtod does.
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "runtime/c_number.h"

namespace zelkor {

double ReadCDecimal(const std::string& number) {
  // from_chars takes no "+" sign.
  const size_t begin = !number.empty() && number[0] == '+' ? 1 : 0;
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(number.data() + begin, number.data() + number.size(), value);
  // Out of range: strtod tells overflow (±HUGE_VAL) from underflow (±0).
  if (error == std::errc::result_out_of_range) return std::strtod(number.c_str(), nullptr);
  return value;
}

}  // namespace zelkor
