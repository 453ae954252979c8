#include "backtest/threshold.h"

#include <array>
#include <boost/math/distributions/normal.hpp>
#include <string_view>

namespace zelkor {

double BonferroniZ(int tests) {
  constexpr double kLevel = 0.05;
  return boost::math::quantile(boost::math::normal(), 1.0 - kLevel / (2.0 * tests));
}

std::string CountInWords(int count, HelpLanguage language) {
  static constexpr std::array<std::string_view, 13> kEnglish{
      "zero",  "one",   "two",  "three", "four",   "five",  "six",
      "seven", "eight", "nine", "ten",   "eleven", "twelve"};
  // 两, not 二, before a measure word.
  static constexpr std::array<std::string_view, 13> kChinese{
      "零", "一", "两", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"};
  if (count < 0 || count >= static_cast<int>(kEnglish.size())) return std::to_string(count);
  const auto at = static_cast<size_t>(count);
  return std::string(language == HelpLanguage::kChinese ? kChinese[at] : kEnglish[at]);
}

}  // namespace zelkor
