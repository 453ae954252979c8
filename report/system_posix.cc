#include <unistd.h>

#include <cstdlib>

#include "report/system.h"

namespace zelkor {

ReportEnvironment SystemEnvironment() {
  ReportEnvironment environment;
  environment.input_is_terminal = isatty(STDIN_FILENO) != 0;
  // The first of these that is set and not empty names the locale of
  // messages, as the C library takes them.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      environment.language = HelpLanguageForLocale(value);
      break;
    }
  }
  return environment;
}

}  // namespace zelkor
