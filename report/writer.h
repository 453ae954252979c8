// Writing what the options ask for from the listed draws: a page's text or
// its lines as CSV or JSON, the next issue's picks, the backtest summary and
// the chart.
#pragma once

#include <iosfwd>

#include "report/input.h"
#include "report/report.h"

namespace zelkor {

// Writes the chart first (so that a reader who stops reading the output
// early, as `head` does, still gets it), then the summary, the next picks or
// the page. Returns false when the chart could not be written (already told
// on `err`).
[[nodiscard]] bool WriteReport(const ReportOptions& options, const History& history,
                               std::ostream& out, std::ostream& err, HelpLanguage language);

}  // namespace zelkor
