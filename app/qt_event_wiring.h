// Binds the main window's events to the logic. Exactly these have handlers:
// each page's run button (RunAnalysisWalk), each page's copy button
// (CopyOutputBox) and a left click on the history list (ShowSelectedDraw).
// Every handler runs through RunGuarded, so a run-time error is reported and
// ends the program.
#pragma once

namespace zelkor {

class MainWindow;

// Connects the handlers of `window`; call once, before the window is shown.
void WireEvents(MainWindow& window);

}  // namespace zelkor
