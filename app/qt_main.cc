// zelkor3d: the desktop program. Takes no arguments; everything it needs is
// fixed in the build.
#include <QApplication>
#include <clocale>

#include "app/qt_launch.h"
#include "runtime/runtime_error.h"

int main(int /*argc*/, char** argv) {
  // Qt keeps a reference to the count for the application's life. Only the
  // program name is passed on: the program reads no options, Qt's included.
  std::setlocale(LC_ALL, "");
  static int qt_argc = 1;
  QApplication app(qt_argc, argv);
  zelkor::ReportUncaughtExceptions();
  try {
    return zelkor::RunProgram();
  } catch (...) {
    zelkor::ReportCurrentException();
  }
}
