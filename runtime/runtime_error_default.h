// How a run-time error report reaches the user when the program has set no
// presenter of its own. One implementation per platform, chosen by the build.
#pragma once

#include "runtime/runtime_error.h"

namespace zelkor {

// Shows `report` (GBK) and returns when the user has seen it.
void ShowRuntimeErrorReportByDefault(const Text& report);

}  // namespace zelkor
