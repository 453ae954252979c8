#include <locale.h>

#include <cstdlib>

#include "runtime/c_number.h"

namespace zelkor {
namespace {

locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

}  // namespace

double ReadCDecimal(const std::string& number) {
  return strtod_l(number.c_str(), nullptr, CLocale());
}

}  // namespace zelkor
