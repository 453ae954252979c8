// The row pattern is a chain of literals joined by lazy any-character gaps,
// which fixes where its matches fall: a match starts at the first "<row
// expect=\"" at or after the search start, and each gap ends at the first
// occurrence of the literal after it (the earliest choice never keeps the rest
// of the chain from matching). So from a given start a match exists only if
// the remaining literals occur in that order somewhere after it, and if they
// do not, no later start can match either. A regular-expression engine left
// to search on its own tries every row start and walks to the end of the
// document from each: quadratic time on a long run of row starts that never
// complete. The literals found in order are therefore the match itself, and
// its groups are the gaps between them: finding them is the whole search, so
// no engine is run over the row a second time (on a long list that second
// pass was the largest cost of a report). The literals are taken from the
// pattern's own text at compile time, and the tests and the fuzz target hold
// the result to Boost.Regex matching that text. The same holds a document that
// arrives in pieces: a row is whole once its last literal has arrived, and
// nothing before the row start being completed can be part of a later match.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "draws/draws.h"

namespace zelkor {
namespace {

constexpr std::string_view kCapturedGap = "(.*?)";
constexpr std::string_view kGap = ".*?";
constexpr size_t kLiteralCount = RowScan::kPatternLiterals;

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

}  // namespace

// Looks for the rows of a text from a point on: the literals of the pattern
// in order, each at its first occurrence after the one before it, which is
// where the lazy gaps end them (see above).
void RowScan::Scan(std::string_view text, const std::function<void(const DrawRow&)>& take) {
  // Where a literal not found in `text` can still begin once more arrives.
  const auto resume_at = [&text](size_t from, std::string_view literal) {
    return std::max(from, text.size() - std::min(text.size(), literal.size() - 1));
  };
  // The gap after literal k: from its end to the start of the next.
  const auto gap = [this, &text](size_t k) {
    const size_t begin = found_[k] + kRowLiterals[k].size();
    return text.substr(begin, found_[k + 1] - begin);
  };
  for (;;) {
    for (; literal_ < kLiteralCount; ++literal_) {
      const std::string_view literal = kRowLiterals[literal_];
      const size_t at = text.find(literal, from_);
      if (at == std::string_view::npos) {
        from_ = resume_at(from_, literal);
        return;
      }
      found_[literal_] = at;
      from_ = at + literal.size();
    }
    // Groups 1 to 4 are the gaps after the first four literals; the time is
    // the uncaptured gap after the fifth (" opentime=\"").
    take(DrawRow{gap(0), gap(1), gap(2), gap(3), gap(4)});
    literal_ = 0;
  }
}

size_t RowScan::KeepFrom() const { return literal_ == 0 ? from_ : found_[0]; }

void RowScan::Drop(size_t count) {
  from_ -= count;
  for (size_t k = 0; k < literal_; ++k) found_[k] -= count;
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
