// On Windows the report is a modal message box with no owner window, the
// caption "错误", the error icon and a single OK button, as every Windows
// program of this kind shows it, console or not.
#include <windows.h>

#include <string>

#include "runtime/gbk.h"
#include "runtime/runtime_error_default.h"
#include "runtime/wide_text.h"

namespace zelkor {

void ShowRuntimeErrorReportByDefault(const std::string& report) {
  // MB_TASKMODAL: no owner window, yet the program's other windows wait.
  (void)MessageBoxW(nullptr, GbkToWide(report).c_str(), GbkToWide(Gbk("错误")).c_str(),
                    MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace zelkor
