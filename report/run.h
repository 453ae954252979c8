// The report tool's whole run, on top of its units.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "report/report.h"

namespace zelkor {

// The whole tool: parses `args` (without the program name), reads the
// document, writes the report to `out` and notices and errors to `err`.
// Returns the exit code; never throws.
[[nodiscard]] int RunReport(const std::vector<std::string>& args, std::istream& in,
                            std::ostream& out, std::ostream& err, const Fetcher& fetch,
                            const ReportEnvironment& environment = {});

}  // namespace zelkor
