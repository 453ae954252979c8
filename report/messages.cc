#include "report/messages.h"

#include <ostream>

#include "backtest/wording.h"
#include "runtime/printable.h"

namespace zelkor {

std::string ErrorLine(std::string_view what) {
  return std::string(kProgram) + ": " + Printable(what);
}

void Warn(std::ostream& err, HelpLanguage language, std::string_view what) {
  err << ErrorLine(std::string(InLanguage(language, "warning: ", "警告:")) + std::string(what))
      << '\n';
}

}  // namespace zelkor
