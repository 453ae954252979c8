// The analysis walk shared by the pages: a pure core over plain values
// and a thin layer that binds it to a page's controls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text.h"
#include "ui/controls.h"
#include "ui/layout.h"
#include "ui/page_texts.h"
#include "ui/ui_operations.h"

namespace zelkor {

// One row of the history list: column 0 and column 1.
struct HistoryRow {
  Text issue;
  Text digits;
};

// Shows a notice to the user and returns once it was seen (a modal box in the
// window, a line on standard error in the report tool).
using Notify = std::function<void(const Text& message)>;
// Turns a value text into the pick text shown in the line.
using PickFn = std::function<Text(const Text& value_text)>;
// Judges a pick against the checked draw's digits; true when it held. The
// kill-digit verdict also needs the chosen position (0 to 3).
using VerdictFn = std::function<bool(int32_t position, const Text& pick, const Text& checked_digits,
                                     const Notify& notify)>;

// Counts of a walk, for callers that want a summary.
struct WalkTally {
  int64_t judged = 0;
  int64_t held = 0;
};

// One line of a walk, in parts (GBK), handed out as the walk writes it. The
// parts are valid during the call only.
struct WalkLine {
  std::string_view issue;          // the checked draw's issue, or the next one
  std::string_view source_digits;  // the draw the pick was made from
  std::string_view value_text;     // the draw value the pick was taken from
  std::string_view pick;
  std::string_view checked_digits;  // empty on the next-issue line
  std::optional<bool> held;         // absent on the next-issue line
};

// Receives each line of a walk in order, the next-issue line last.
using WalkLineSink = std::function<void(const WalkLine& line)>;
// Receives a walk's text a piece at a time, in order, each piece ending
// with a whole line (the last with the footer).
using TextPieceSink = std::function<void(std::string_view piece)>;

// One analysis page as plain data: everything that sets it apart from the
// others. The report, the summary, the chart, the start-up page, the fuzz
// target and the benchmarks go through AllAnalysisPages() and read what they
// need here; its row of layout::kPages gives its tab and controls.
struct AnalysisPage {
  // Its page of 高级选择夹1, from 0; the layout names its controls by it.
  int tab = 0;
  // The report tool's name for it ("kill"), its labels in the report's
  // tables and charts, and what the help calls it in English.
  std::string_view option_name;
  std::string_view english_label;
  std::string_view chinese_label;
  std::string_view english_name;
  // What its pick claims about the next draw, for the start-up page (UTF-8);
  // on a page with a kill position the position's place ("百位") goes first.
  std::string_view pick_meaning;
  // The multiplier of a page without a kill position; one with a kill
  // position takes the position's (KillPositionMultiplier).
  double multiplier = 0.0;
  PickFn pick;
  VerdictFn verdict;

  // Whether the page judges at a kill position (百, 十 or 个), as its layout
  // row says, which puts the radio buttons on it.
  [[nodiscard]] bool HasKillPosition() const {
    return layout::kPages[static_cast<size_t>(tab)].kill_position;
  }
  [[nodiscard]] Button RunButton() const { return ctl::OfPage(tab).run; }
  [[nodiscard]] Button CopyButton() const { return ctl::OfPage(tab).copy; }
  [[nodiscard]] EditBox OutputBox() const { return ctl::OfPage(tab).output; }
};

// The kill positions: 1 百, 2 十, 3 个.
inline constexpr int32_t kKillPositionCount = 3;

// How many page/positions a backtest judges at once: every kill position of
// a page that has them, and every other page once.
[[nodiscard]] consteval int JudgedPageCount() {
  int count = 0;
  for (const layout::PageRow& row : layout::kPages)
    count += row.kill_position ? kKillPositionCount : 1;
  return count;
}

[[nodiscard]] const AnalysisPage& KillDigitPage();
[[nodiscard]] const AnalysisPage& BankerDigitPage();
[[nodiscard]] const AnalysisPage& KillSpanPage();
// The pages in tab order.
[[nodiscard]] const std::vector<const AnalysisPage*>& AllAnalysisPages();
// The page with the report tool's name `option_name` (in lower case), or
// nullptr.
[[nodiscard]] const AnalysisPage* AnalysisPageNamed(std::string_view option_name);

// --- Core ---

// What follows the issue in every line (GBK "期:"), before the page's name.
[[nodiscard]] const Text& IssueSuffix();

// Steps the history oldest pair first and returns the whole output text:
// one judged line per pair, the next-issue line, then the footer. `sink`,
// when set, receives every line as it is written. With `pieces` set the text
// goes there a piece at a time instead, so that a long one is never held
// whole, and the result is empty.
[[nodiscard]] Text BuildAnalysisText(const std::vector<HistoryRow>& rows, const PageTexts& texts,
                                     double multiplier, int32_t position, const PickFn& pick,
                                     const VerdictFn& verdict, const Notify& notify,
                                     WalkTally* tally = nullptr, const WalkLineSink& sink = {},
                                     const TextPieceSink& pieces = {});

// The multiplier that goes with a kill position (1 → 1, 2 → 5, 3 → 2, else 0).
[[nodiscard]] double KillPositionMultiplier(int32_t position);

// BuildAnalysisText with the page's multiplier, pick and verdict; `position`
// is the kill position (0 to 3), used by the kill-digit page only.
[[nodiscard]] Text BuildPageText(const AnalysisPage& page, const std::vector<HistoryRow>& rows,
                                 const PageTexts& texts, int32_t position, const Notify& notify,
                                 WalkTally* tally = nullptr, const WalkLineSink& sink = {},
                                 const TextPieceSink& pieces = {});

// --- Control layer ---

struct KillPositionChoice {
  int32_t position = 0;     // 1 百, 2 十, 3 个, 0 none
  double multiplier = 0.0;  // 1, 5, 2 or 0
};

// Reads 单选框_百, 单选框_十, 单选框_个 in that order; a later checked one wins.
[[nodiscard]] KillPositionChoice KillPosition(UiOperations& ui);
// Runs the page's analysis over the history list and fills its output box.
void RunAnalysisWalk(UiOperations& ui, const AnalysisPage& page);
// Puts the page's output box on the clipboard.
void CopyOutputBox(UiOperations& ui, const AnalysisPage& page);

}  // namespace zelkor
