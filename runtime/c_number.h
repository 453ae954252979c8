// Reading a decimal number with "." as its decimal point, whatever locale the
// process has set. One implementation per platform, chosen by the build.
#pragma once

#include <string>

namespace zelkor {

// `number`, already checked to be an optional sign, digits with an optional
// decimal point and fraction, and an optional exponent, as strtod reads it in
// the "C" locale: correctly rounded, ±HUGE_VAL on overflow.
[[nodiscard]] double ReadCDecimal(const std::string& number);

}  // namespace zelkor
