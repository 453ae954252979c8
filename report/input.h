// Getting the draws: the document from a file, standard input or an address,
// read with the window's limits, and the draws listed from it.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "report/report.h"

namespace zelkor {

// Reads `in` until its end, its first zero byte or kMaxInputBytes, whichever
// comes first; never reads past that point. A stream whose buffer fails or
// throws gives `error`. `size_hint`, when known, is the input's size.
[[nodiscard]] InputDocument ReadDocument(std::istream& in, size_t max_bytes = kMaxInputBytes,
                                         size_t size_hint = 0);

// The draws of a document, newest first, with each draw's opentime.
struct History {
  std::vector<HistoryRow> rows;
  std::vector<Text> opentimes;
};

// The draws of the document the options name, or the exit code of a failure
// already told on `err`.
struct Obtained {
  History history;
  int exit_code = kExitOk;
};

// Reads or fetches the document the options name and lists its draws; what
// reading found (a zero byte, a cut, a short download) is told on `err`.
[[nodiscard]] Obtained ObtainRows(const ReportOptions& options, std::istream& in, std::ostream& err,
                                  const Fetcher& fetch, const ReportEnvironment& environment);

}  // namespace zelkor
