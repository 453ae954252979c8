#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "report/system.h"

namespace zelkor {

ReportEnvironment SystemEnvironment() {
  ReportEnvironment environment;
  // A console, not any character device: _isatty says yes to NUL too.
  DWORD console_mode = 0;
  environment.input_is_terminal = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &console_mode);
  // The user's display language, e.g. "zh-CN".
  wchar_t locale_name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(locale_name, LOCALE_NAME_MAX_LENGTH) > 0) {
    std::string ascii;
    for (const wchar_t* c = locale_name; *c != L'\0'; ++c)
      ascii.push_back(static_cast<char>(*c & 0x7F));
    environment.language = HelpLanguageForLocale(ascii);
  }
  // A locale set for the session, as on other systems, comes first.
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
