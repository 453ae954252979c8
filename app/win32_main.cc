// zelkor3d-window.exe: the desktop program's window on Windows, which
// Zelkor3D.exe starts once the draw service answers. Takes no arguments;
// everything it needs is fixed in the build.
#include "app/win32_event_wiring.h"
#include "runtime/runtime_error.h"

int main() {
  zelkor::ReportUncaughtExceptions();
  try {
    return zelkor::RunWin32Program();
  } catch (...) {
    zelkor::ReportCurrentException();
  }
}
