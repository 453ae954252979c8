// The row pattern is a chain of literals joined by lazy any-character gaps,
// which fixes where its matches fall: a match starts at the first "<row
// expect=\"" at or after the search start, and each gap ends at the first
// occurrence of the literal after it (the earliest choice never keeps the rest
// of the chain from matching). So from a given start a match exists only if
// the remaining literals occur in that order somewhere after it, and if they
// do not, no later start can match either. A regular-expression engine left
// to search on its own tries every row start and walks to the end of the
// document from each: quadratic time on a long run of row starts that never
// complete. Here it is only ever asked to match where a match is known to
// begin.
//
// The engine is Boost.Xpressive, compiling the pattern's Perl syntax at run
// time: on the draw list it matches about twice as fast as Boost.Regex, which
// the tests and the fuzz target keep as the independent reference.
#include <boost/xpressive/xpressive_dynamic.hpp>

#include <array>

#include "draws/draws.h"

namespace zelkor {
namespace {

constexpr std::string_view kCapturedGap = "(.*?)";
constexpr std::string_view kGap = ".*?";
constexpr size_t kLiteralCount = 8;

// The literal parts of `pattern`, in order: what stands between its gaps.
// Fails to compile if the pattern has other than kLiteralCount of them.
constexpr std::array<std::string_view, kLiteralCount> LiteralsOf(std::string_view pattern) {
  std::array<std::string_view, kLiteralCount> literals{};
  size_t count = 0;
  size_t begin = 0;
  for (size_t at = 0; at < pattern.size();) {
    const std::string_view rest = pattern.substr(at);
    const size_t gap = rest.starts_with(kCapturedGap) ? kCapturedGap.size()
                       : rest.starts_with(kGap)       ? kGap.size()
                                                      : 0;
    if (gap == 0) {
      ++at;
      continue;
    }
    literals.at(count++) = pattern.substr(begin, at - begin);
    at += gap;
    begin = at;
  }
  literals.at(count++) = pattern.substr(begin);
  if (count != kLiteralCount) throw "the row pattern has another number of literal parts";
  return literals;
}

// True when `text` holds no character that Perl syntax gives a meaning.
constexpr bool IsPlainLiteral(std::string_view text) {
  return text.find_first_of(R"(\^$.|?*+()[]{})") == std::string_view::npos;
}

constexpr std::array<std::string_view, kLiteralCount> kRowLiterals = LiteralsOf(kDrawRowPattern);
static_assert(kRowLiterals[0] == "<row expect=\"" && kRowLiterals.back() == "\" />");
static_assert(kRowLiterals[4] == "\" opentime=\"" && kRowLiterals[5] == "\" trycode=\"");
static_assert([] {
  for (std::string_view literal : kRowLiterals) {
    if (literal.empty() || !IsPlainLiteral(literal)) return false;
  }
  return true;
}());

// The length of the shortest match: the literals with empty gaps.
constexpr size_t kShortestMatch = [] {
  size_t length = 0;
  for (std::string_view literal : kRowLiterals) length += literal.size();
  return length;
}();

// In Perl syntax, as the pattern is written; "." matches line breaks too,
// which is Xpressive's default.
const boost::xpressive::cregex& RowRegex() {
  static const boost::xpressive::cregex row =
      boost::xpressive::cregex::compile(kDrawRowPattern.begin(), kDrawRowPattern.end());
  return row;
}

// The last position at which the literals after the first still occur in
// order up to the end of `document`, or npos when they occur nowhere. A match
// can begin at a row start only if its first literal ends no later than this.
size_t LatestTailStart(std::string_view document) {
  size_t end = document.size();
  for (size_t i = kRowLiterals.size() - 1; i >= 1; --i) {
    const std::string_view literal = kRowLiterals[i];
    if (end < literal.size()) return std::string_view::npos;
    end = document.rfind(literal, end - literal.size());
    if (end == std::string_view::npos) return std::string_view::npos;
  }
  return end;
}

}  // namespace

size_t MostDrawsIn(std::string_view document) { return document.size() / kShortestMatch; }

void ForEachDrawRow(std::string_view document, const std::function<void(const DrawRow&)>& take) {
  const size_t tail_start = LatestTailStart(document);
  if (tail_start == std::string_view::npos) return;

  const char* const begin = document.data();
  const char* const end = begin + document.size();
  const std::string_view row_start = kRowLiterals.front();
  const auto group = [](const boost::xpressive::csub_match& sub) {
    return std::string_view(sub.first, static_cast<size_t>(sub.second - sub.first));
  };
  boost::xpressive::cmatch match;
  for (size_t from = 0;;) {
    const size_t at = document.find(row_start, from);
    if (at == std::string_view::npos || at + row_start.size() > tail_start) break;
    // A match begins here (see above), so it is enough to let the regex
    // match at this very position.
    if (!boost::xpressive::regex_search(begin + at, end, match, RowRegex(),
                                        boost::xpressive::regex_constants::match_continuous)) {
      break;
    }
    // The time is the uncaptured gap after the units: it runs from the
    // literal that follows them to the first occurrence of the next one,
    // as the lazy gap matched it.
    const std::string_view row = group(match[0]);
    const size_t time_start =
        static_cast<size_t>(match[4].second - match[0].first) + kRowLiterals[4].size();
    const size_t time_end = row.find(kRowLiterals[5], time_start);
    take(DrawRow{group(match[1]), group(match[2]), group(match[3]), group(match[4]),
                 row.substr(time_start, time_end - time_start)});
    from = static_cast<size_t>(match[0].second - begin);
  }
}

void ForEachDraw(std::string_view document,
                 const std::function<void(std::string_view issue, std::string_view hundreds,
                                          std::string_view tens, std::string_view units)>& take) {
  ForEachDrawRow(document, [&take](const DrawRow& row) {
    take(row.issue, row.hundreds, row.tens, row.units);
  });
}

std::vector<DrawRecord> ParseDrawList(std::string_view document) {
  std::vector<DrawRecord> draws;
  // Room for as many draws as could fit; capacity never touched costs no memory.
  draws.reserve(MostDrawsIn(document));
  ForEachDraw(document, [&draws](std::string_view issue, std::string_view hundreds,
                                 std::string_view tens, std::string_view units) {
    draws.push_back({Text(issue), TextJoin(hundreds, tens, units)});
  });
  return draws;
}

}  // namespace zelkor
