#include <windows.h>

#include <cstdio>
#include <string>

#include "report/system.h"

namespace zelkor {

ReportEnvironment SystemEnvironment() {
  ReportEnvironment environment;
  // A console, not any character device: _isatty says yes to NUL too.
  DWORD console_mode = 0;
  environment.input_is_terminal = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &console_mode);
  environment.gbk_locale = GbkLocaleFromVariables();
  // A locale the session names comes first, as on other systems; then the
  // user's display language, e.g. "zh-CN".
  if (const std::optional<HelpLanguage> named = HelpLanguageFromLocaleVariables()) {
    environment.language = *named;
    return environment;
  }
  wchar_t locale_name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(locale_name, LOCALE_NAME_MAX_LENGTH) > 0) {
    std::string ascii;
    for (const wchar_t* c = locale_name; *c != L'\0'; ++c) {
      ascii.push_back(static_cast<char>(*c & 0x7F));
    }
    environment.language = HelpLanguageForLocale(ascii);
  }
  return environment;
}

}  // namespace zelkor
