// How a run-time error report reaches the user when the program has set no
// presenter of its own. One implementation per platform, chosen by the build.
#pragma once

#include <string>

namespace zelkor {

// Shows `report` (GBK text) and returns when the user has seen it. It needs
// nothing of runtime_error.h, which installs it.
void ShowRuntimeErrorReportByDefault(const std::string& report);

}  // namespace zelkor
