// Getting the draws: the document from a file, standard input or an address,
// read with the window's limits, and the draws listed from it.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"

namespace zelkor {

// Texts end to end, for many short ones without an allocation each.
class OpenTimes {
 public:
  // Room for `count` times of `bytes` in all; room never used costs no memory.
  void Reserve(size_t count, size_t bytes);
  void Add(std::string_view time);
  [[nodiscard]] std::string_view operator[](size_t index) const;
  [[nodiscard]] size_t size() const { return ends_.size(); }

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
};

// The draws of a document, newest first, and each draw's opentime when they
// were asked for.
struct History {
  std::vector<HistoryRow> rows;
  OpenTimes opentimes;
};

// Reads `in` until its end, its first zero byte or `max_bytes`, whichever
// comes first, never past that point, and lists the draws of what it read
// as they arrive, with their opentimes when `with_times`: only the row being
// read is kept, never the document. A stream whose buffer fails or throws
// gives `error`. `size_hint`, when known, is the input's size.
[[nodiscard]] InputDocument ReadDraws(std::istream& in, History& history, bool with_times,
                                      size_t size_hint = 0, size_t max_bytes = kMaxInputBytes);

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
