// UTF-16 texts for the Windows interfaces that take them. Windows only.
#pragma once

#include <string>
#include <string_view>

namespace zelkor {

// A GBK text (code page 936) as UTF-16; a byte sequence that is not GBK
// becomes "?".
[[nodiscard]] std::wstring GbkToWide(std::string_view gbk);
// A UTF-8 text as UTF-16; a broken sequence becomes U+FFFD.
[[nodiscard]] std::wstring Utf8ToWide(std::string_view utf8);
// A UTF-16 text as UTF-8; a lone surrogate becomes U+FFFD.
[[nodiscard]] std::string WideToUtf8(std::wstring_view wide);

}  // namespace zelkor
