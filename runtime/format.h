// printf-style formatting into a std::string, for texts made of words and
// figures (the backtest's tables, the start-up page).
#pragma once

#include <cstdio>
#include <string>

namespace zelkor {

// `format` filled with `values` as std::snprintf does, however long the
// result; empty when the format cannot be applied.
template <typename... Values>
[[nodiscard]] std::string Format(const char* format, Values... values) {
  const int length = std::snprintf(nullptr, 0, format, values...);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, values...);
  text.pop_back();
  return text;
}

}  // namespace zelkor
