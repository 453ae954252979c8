// Binds the Win32 main window's events to the logic, the same three kinds as
// on Qt: each page's run button (RunAnalysisWalk), each page's copy button
// (CopyOutputBox) and a left click on the history list (ShowSelectedDraw).
// Every handler runs through RunGuarded.
#pragma once

#include "app/startup.h"

namespace zelkor {
namespace win32 {
class MainWindow;
}

// Connects the handlers of `window`; call once, before the window is shown.
void WireWin32Events(win32::MainWindow& window);

// Creates the Win32 main window (a failure is reported as a run-time error),
// runs the start-up sequence before it is first shown, binds its events,
// shows it and processes input until it is closed; then runs the end
// routine. Returns the exit code of a normal close.
[[nodiscard]] int RunWin32Program(const StartupConfig& config = BuiltInStartupConfig());

}  // namespace zelkor
