// Words in the language the help is shown in, and columns lined up by what
// a terminal shows rather than by bytes.
#pragma once

#include <string>
#include <string_view>

#include "backtest/language.h"

namespace zelkor {

// `english` or `chinese`, as `language` asks.
[[nodiscard]] constexpr std::string_view InLanguage(HelpLanguage language, std::string_view english,
                                                    std::string_view chinese) {
  return language == HelpLanguage::kChinese ? chinese : english;
}

// The columns a UTF-8 text takes on a terminal: two for each East Asian wide
// character (CJK, full-width forms), one for any other character.
[[nodiscard]] size_t DisplayWidth(std::string_view utf8);

// `text` with its ASCII letters in lower case, for values taken in any case.
[[nodiscard]] std::string AsciiLower(std::string_view text);

// `utf8` padded with spaces to `width` columns: on the left when `width` is
// positive (right-aligned), on the right when negative, as printf's "%*s".
[[nodiscard]] std::string Padded(std::string_view utf8, int width);

}  // namespace zelkor
