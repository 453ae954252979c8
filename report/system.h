// What the report tool asks of the system it runs on, kept apart so that the
// rest of the tool is plain standard C++.
#pragma once

#include "report/report.h"

namespace zelkor {

// Whether standard input is a terminal, and the language of the user's
// locale (LC_ALL, then LC_MESSAGES, then LANG).
[[nodiscard]] ReportEnvironment SystemEnvironment();

}  // namespace zelkor
