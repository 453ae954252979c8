// The draw-list parser on arbitrary bytes. Its result must be exactly what
// Boost.Regex finds searching the whole document on its own, match after
// match, which is what the row pattern defines; the parser's guard only saves
// the engine work. Long documents check that the parser stays quick.
#include <boost/regex.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "draws/draws.h"

namespace {

// Every match of the row pattern, each search starting where the previous
// match ended; false when the engine gave up before the end.
bool ReferenceRows(std::string_view document, std::vector<zelkor::DrawRecord>& rows) {
  static const boost::regex row(zelkor::kDrawRowPattern.begin(), zelkor::kDrawRowPattern.end(),
                                boost::regex::perl | boost::regex::mod_s);
  const char* from = document.data();
  const char* const end = document.data() + document.size();
  boost::cmatch match;
  try {
    while (boost::regex_search(from, end, match, row)) {
      rows.push_back({zelkor::Text(match[1].first, match[1].second),
                      zelkor::TextJoin(std::string_view(match[2].first, match[2].second),
                                       std::string_view(match[3].first, match[3].second),
                                       std::string_view(match[4].first, match[4].second))});
      from = match[0].second;
    }
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

// Boost searching on its own is quadratic on some documents, which is why the
// parser guards it; past this size the reference would only measure itself,
// and the run checks the parser's own time and the bounds of its rows. At
// 16 KiB the worst document (row starts whose tail never completes) costs the
// reference about half a second under the sanitizers; at 64 KiB it took
// 8.5 s, past the 5 s an input may take.
constexpr size_t kReferenceLimit = size_t{16} << 10;

[[noreturn]] void Fail(const char* what, size_t got, size_t expected) {
  std::fprintf(stderr, "fuzz_draw_list: %s (got %zu, expected %zu)\n", what, got, expected);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  const std::vector<zelkor::DrawRecord> parsed = zelkor::ParseDrawList(document);

  std::vector<zelkor::DrawRecord> expected;
  if (size > kReferenceLimit) {
    // Checked below for bounds only.
  } else if (ReferenceRows(document, expected)) {
    if (parsed.size() != expected.size()) Fail("row count", parsed.size(), expected.size());
    for (size_t i = 0; i < parsed.size(); ++i) {
      if (parsed[i] != expected[i]) Fail("row differs", i, i);
    }
  } else {
    // The engine gave up part-way: what it found before must be what the
    // parser found first.
    if (parsed.size() < expected.size()) Fail("rows lost", parsed.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      if (parsed[i] != expected[i]) Fail("row differs", i, i);
    }
  }

  // Every listed row lies inside the document: its texts cannot be longer.
  for (const zelkor::DrawRecord& record : parsed) {
    if (record.issue.size() + record.digits.size() > size) {
      Fail("row longer than the document", record.issue.size() + record.digits.size(), size);
    }
  }
  return 0;
}
