// The program's life once the application object exists.
#pragma once

#include "app/startup.h"

namespace zelkor {

// Creates the main window (a failure is reported as a run-time error), runs
// the start-up sequence before the window is first shown, binds its events,
// shows it and processes input until it is closed; then runs the end routine.
// Returns the exit code of a normal close. Needs a QApplication.
[[nodiscard]] int RunProgram(const StartupConfig& config = BuiltInStartupConfig());

}  // namespace zelkor
