// Conversion between GBK texts and UTF-8. Used where texts leave or enter the
// program (the window, the terminal) and to turn the program's own literals,
// written in UTF-8 sources, into GBK.
#pragma once

#include <string>
#include <string_view>

namespace zelkor {

// UTF-8 to GBK; a character GBK cannot hold becomes "?", and so does a
// malformed UTF-8 sequence.
[[nodiscard]] std::string Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8; a byte sequence that is not GBK becomes "?".
[[nodiscard]] std::string GbkToUtf8(std::string_view gbk);

// UTF-16 (little-endian when `big_endian` is false, no byte order mark) to
// UTF-8, as a text saved by an editor as "Unicode"; a lone surrogate or an
// odd last byte becomes a stand-in character ("?" or U+FFFD).
[[nodiscard]] std::string Utf16ToUtf8(std::string_view utf16, bool big_endian);

// The GBK form of a literal written in the UTF-8 source. The one place where
// the program's own texts become GBK.
[[nodiscard]] inline std::string Gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

}  // namespace zelkor
