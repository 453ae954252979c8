#include "report/system.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
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
#ifdef _WIN32
  // The user's display language, e.g. "zh-CN".
  wchar_t locale_name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(locale_name, LOCALE_NAME_MAX_LENGTH) > 0) {
    std::string ascii;
    for (const wchar_t* c = locale_name; *c != L'\0'; ++c)
      ascii.push_back(static_cast<char>(*c & 0x7F));
    environment.language = HelpLanguageForLocale(ascii);
  }
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

void UseBinaryStandardStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

}  // namespace zelkor
