// Text from outside (arguments, file contents, request paths) as it may be
// written to a terminal without the terminal obeying any of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelkor {

// `text` as it may be shown on a terminal: control characters and bytes that
// are not UTF-8 are written as \xHH (\n, \r, \t, \e by name).
[[nodiscard]] std::string Printable(std::string_view text);

// Printable(text) cut to its first `max_chars` characters (a UTF-8 sequence
// counts as one), ending in "…" when anything was cut, so that one huge
// field cannot make a message huge.
[[nodiscard]] std::string PrintableCut(std::string_view text, size_t max_chars = 80);

// PrintableCut, but with a backslash left as it is: for lines that may hold
// text already made printable, which is then not escaped twice.
[[nodiscard]] std::string PrintableCutKeepingBackslashes(std::string_view text, size_t max_chars);

}  // namespace zelkor
