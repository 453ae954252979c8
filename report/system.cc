#include "report/system.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zelkor {

ReportEnvironment SystemEnvironment() {
  ReportEnvironment environment;
#ifdef _WIN32
  environment.input_is_terminal = _isatty(_fileno(stdin)) != 0;
#else
  environment.input_is_terminal = isatty(STDIN_FILENO) != 0;
#endif
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
