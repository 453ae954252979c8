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
// begin, over just the bytes the match spans. The same holds a document that
// arrives in pieces: a row is whole once its last literal has arrived, and
// nothing before the row start being completed can be part of a later match.
//
// The engine is Boost.Xpressive, compiling the pattern's Perl syntax at run
// time: on the draw list it matches about twice as fast as Boost.Regex, which
// the tests and the fuzz target keep as the independent reference.
#include <boost/xpressive/xpressive_dynamic.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

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

}  // namespace

// Looks for the rows of a text from a point on: the literals of the pattern
// in order, each at its first occurrence after the one before it, which is
// where the lazy gaps end them. Once they have all been found, the regex
// matches the row between the first and the last of them.
void RowScan::Scan(std::string_view text, const std::function<void(const DrawRow&)>& take) {
  const auto group = [](const boost::xpressive::csub_match& sub) {
    return std::string_view(sub.first, static_cast<size_t>(sub.second - sub.first));
  };
  // Where a literal not found in `text` can still begin once more arrives.
  const auto resume_at = [&text](size_t from, std::string_view literal) {
    return std::max(from, text.size() - std::min(text.size(), literal.size() - 1));
  };
  boost::xpressive::cmatch match;
  while (!stopped_) {
    for (; literal_ < kLiteralCount; ++literal_) {
      const std::string_view literal = kRowLiterals[literal_];
      const size_t at = text.find(literal, from_);
      if (at == std::string_view::npos) {
        from_ = resume_at(from_, literal);
        return;
      }
      if (literal_ == 0) row_at_ = at;
      from_ = at + literal.size();
    }
    // A match begins at the row start and ends with the last literal (see
    // above), so the regex is given just that much.
    const char* const row_begin = text.data() + row_at_;
    if (!boost::xpressive::regex_search(row_begin, text.data() + from_, match, RowRegex(),
                                        boost::xpressive::regex_constants::match_continuous)) {
      stopped_ = true;
      return;
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
    from_ = static_cast<size_t>(match[0].second - text.data());
    literal_ = 0;
  }
}

size_t RowScan::KeepFrom() const { return literal_ == 0 ? from_ : row_at_; }

void RowScan::Drop(size_t count) {
  from_ -= count;
  if (literal_ > 0) row_at_ -= count;
}

size_t MostDrawsIn(size_t size) { return size / kShortestMatch; }

void ForEachDrawRow(std::string_view document, const std::function<void(const DrawRow&)>& take) {
  RowScan scan;
  scan.Scan(document, take);
}

DrawRowReader::DrawRowReader(std::function<void(const DrawRow&)> take) : take_(std::move(take)) {}

char* DrawRowReader::Room(size_t count) {
  pending_.resize(filled_ + count);
  return pending_.data() + filled_;
}

void DrawRowReader::Added(size_t count) {
  filled_ += count;
  scan_.Scan(std::string_view(pending_.data(), filled_), take_);
  // Only what may still belong to a row is kept; usually a part of one.
  const size_t keep_from = std::min(scan_.KeepFrom(), filled_);
  std::memmove(pending_.data(), pending_.data() + keep_from, filled_ - keep_from);
  filled_ -= keep_from;
  scan_.Drop(keep_from);
}

void DrawRowReader::Add(std::string_view bytes) {
  std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
  Added(bytes.size());
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
  draws.reserve(MostDrawsIn(document.size()));
  ForEachDraw(document, [&draws](std::string_view issue, std::string_view hundreds,
                                 std::string_view tens, std::string_view units) {
    draws.push_back({Text(issue), TextJoin(hundreds, tens, units)});
  });
  return draws;
}

}  // namespace zelkor
