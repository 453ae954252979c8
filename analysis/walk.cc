#include "analysis/analysis.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/picks.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
// Room for a pick: a kill digit, three banker digits or two kill spans.
constexpr size_t kPickRoom = 3;
// The text handed on at a time when it goes out in pieces: small enough to
// stay in the processor's cache, with room for the line that fills it.
constexpr size_t kPieceBytes = size_t{1} << 16;
constexpr size_t kPieceRoom = size_t{1} << 10;

// The part shared by judged lines and the next-issue line, up to and including
// the separator after the right extension symbol.
void AppendLineHead(Text& out, const PageTexts& texts, const Text& issue, const Text& pick) {
  out.append(texts.separator)
      .append(issue)
      .append(IssueSuffix())
      .append(texts.name)
      .append(texts.separator)
      .append(texts.left)
      .append(pick)
      .append(texts.right)
      .append(texts.separator);
}

// The value and pick made from a source draw.
struct DrawPick {
  Text value_text;
  Text pick;
};

// The pick made from each source draw. A draw of three ASCII digits is one of
// a thousand, whose value and pick are worked out once per walk; long
// histories repeat them over and over.
class DrawPicks {
 public:
  DrawPicks(double multiplier, const PickFn& pick) : multiplier_(multiplier), pick_(pick) {}

  const DrawPick& Of(const Text& digits) {
    if (digits.size() != 3 || !IsDigit(digits[0]) || !IsDigit(digits[1]) || !IsDigit(digits[2])) {
      other_ = Make(digits);
      return other_;
    }
    const size_t number =
        static_cast<size_t>((digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0'));
    std::optional<DrawPick>& known = known_[number];
    if (!known) known = Make(digits);
    return *known;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  DrawPick Make(const Text& digits) const {
    DrawPick made{ComputeDrawValue(digits, multiplier_).text, {}};
    made.pick = pick_(made.value_text);
    return made;
  }

  double multiplier_;
  const PickFn& pick_;
  std::vector<std::optional<DrawPick>> known_ = std::vector<std::optional<DrawPick>>(1000);
  DrawPick other_;
};

size_t EstimateSize(const std::vector<HistoryRow>& rows, const PageTexts& texts) {
  const size_t fixed = 3 * texts.separator.size() + IssueSuffix().size() + texts.name.size() +
                       texts.left.size() + texts.right.size() + kPickRoom + kLineBreak.size() +
                       std::max({texts.correct.size(), texts.wrong.size(), texts.not_drawn.size()});
  constexpr size_t kNextIssueRoom = 12;
  size_t size = texts.footer.size() + fixed + kNextIssueRoom;
  for (const HistoryRow& row : rows) size += fixed + row.issue.size() + row.digits.size();
  return size;
}

}  // namespace

const Text& IssueSuffix() {
  static const Text suffix = Gbk("期:");
  return suffix;
}

Text BuildAnalysisText(const std::vector<HistoryRow>& rows, const PageTexts& texts,
                       double multiplier, int32_t position, const PickFn& pick,
                       const VerdictFn& verdict, const Notify& notify, WalkTally* tally,
                       const WalkLineSink& sink, const TextPieceSink& pieces) {
  static const Text kEmpty;
  Text out;
  out.reserve(pieces ? kPieceBytes + kPieceRoom : EstimateSize(rows, texts));
  // Hands the lines written so far on, once they fill a piece.
  const auto pass_on = [&out, &pieces] {
    if (pieces && out.size() >= kPieceBytes) {
      pieces(out);
      out.clear();
    }
  };

  DrawPicks picks(multiplier, pick);
  const int32_t n = TruncateToInteger(static_cast<double>(rows.size()) - 1.0);
  const Text* issue = &kEmpty;
  const Text* checked = &kEmpty;
  for (int32_t i = 1; i <= n; ++i) {
    const HistoryRow& checked_row = rows[static_cast<size_t>(n - i)];
    const HistoryRow& source_row = rows[static_cast<size_t>(n + 1 - i)];
    issue = &checked_row.issue;
    checked = &checked_row.digits;

    const DrawPick& picked = picks.Of(source_row.digits);
    AppendLineHead(out, texts, *issue, picked.pick);
    const bool held = verdict(position, picked.pick, *checked, notify);
    out.append(*checked).append(held ? texts.correct : texts.wrong).append(kLineBreak);
    if (tally != nullptr) {
      ++tally->judged;
      if (held) ++tally->held;
    }
    if (sink) {
      sink(WalkLine{*issue, source_row.digits, picked.value_text, picked.pick, *checked, held});
    }
    pass_on();
  }

  const Text next_issue = ToText(ToInteger(*issue) + 1.0);
  const DrawPick& next = picks.Of(*checked);
  AppendLineHead(out, texts, next_issue, next.pick);
  out.append(texts.not_drawn).append(kLineBreak);
  if (sink) sink(WalkLine{next_issue, *checked, next.value_text, next.pick, {}, std::nullopt});
  out.append(texts.footer);
  if (pieces) {
    pieces(out);
    return {};
  }
  return out;
}

double KillPositionMultiplier(int32_t position) {
  switch (position) {
    case 1:
      return 1.0;
    case 2:
      return 5.0;
    case 3:
      return 2.0;
    default:
      return 0.0;
  }
}

Text BuildPageText(const AnalysisPage& page, const std::vector<HistoryRow>& rows,
                   const PageTexts& texts, int32_t position, const Notify& notify, WalkTally* tally,
                   const WalkLineSink& sink, const TextPieceSink& pieces) {
  const double multiplier =
      page.HasKillPosition() ? KillPositionMultiplier(position) : page.multiplier;
  return BuildAnalysisText(rows, texts, multiplier, position, page.pick, page.verdict, notify,
                           tally, sink, pieces);
}

}  // namespace zelkor
