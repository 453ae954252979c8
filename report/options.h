// Reading the report tool's command line into its options.
#pragma once

#include <string>
#include <vector>

#include "report/report.h"

namespace zelkor {

// Reads the arguments that follow the program name.
[[nodiscard]] ParsedArguments ParseReportArguments(const std::vector<std::string>& args,
                                                   HelpLanguage language = HelpLanguage::kEnglish);

}  // namespace zelkor
