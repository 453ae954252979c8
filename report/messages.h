// The report tool's error and warning lines, each headed by its name.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "backtest/language.h"

namespace zelkor {

// The tool's name, at the head of each of its error and warning lines.
inline constexpr std::string_view kProgram = "zelkor3d-report";

// One error line (no line break): the program's name, then `what` as it may
// be shown on a terminal.
[[nodiscard]] std::string ErrorLine(std::string_view what);

// Writes a warning line to `err`, in `language`.
void Warn(std::ostream& err, HelpLanguage language, std::string_view what);

// A reason the system or a download gave (English, e.g. strerror's or
// "connection refused") as the user reads it: in Chinese, the known ones
// are translated with the original in brackets.
[[nodiscard]] std::string SystemReason(std::string_view english, HelpLanguage language);

}  // namespace zelkor
