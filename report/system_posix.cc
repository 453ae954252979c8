#include <unistd.h>

#include "report/system.h"

namespace zelkor {

ReportEnvironment SystemEnvironment() {
  ReportEnvironment environment;
  environment.input_is_terminal = isatty(STDIN_FILENO) != 0;
  environment.language = HelpLanguageFromLocaleVariables().value_or(HelpLanguage::kEnglish);
  environment.gbk_locale = GbkLocaleFromVariables();
  return environment;
}

}  // namespace zelkor
