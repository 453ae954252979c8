// Arguments and document bytes as they may be echoed to a terminal.
#pragma once

#include <string>
#include <string_view>

namespace zelkor {

// An argument as it may be shown on a terminal: control characters and
// bytes that are not UTF-8 are written as \xHH (\n, \r, \t, \e by name).
[[nodiscard]] std::string Printable(std::string_view argument);

}  // namespace zelkor
