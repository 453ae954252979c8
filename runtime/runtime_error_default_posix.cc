// On Linux the report goes to standard error as UTF-8: the window program
// sets a presenter of its own, and a tool without a window has its terminal.
#include <cstdio>
#include <string>

#include "runtime/gbk.h"
#include "runtime/runtime_error_default.h"

namespace zelkor {

void ShowRuntimeErrorReportByDefault(const std::string& report) {
  const std::string utf8 = GbkToUtf8(report);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace zelkor
