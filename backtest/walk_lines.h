// A page's walk seen line by line: the same walk that builds the window's
// text, with each line's parts handed out as it is made, so that other output
// forms never parse the text.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/language.h"
#include "runtime/text.h"

namespace zelkor {

// Receives the walk's lines as the analysis writes them.
using LineSink = WalkLineSink;
// A notice of a verdict, with the issue of the line it concerns.
using IssueNotify = std::function<void(const Text& issue, const Text& message)>;

// Runs the page's walk over `rows` (newest first) and returns its text, as
// BuildPageText does; `sink`, when set, receives every line in order, the
// next-issue line last. With `pieces` set the text goes there a piece at a
// time instead and the result is empty (a caller that wants the lines alone
// hands a sink that drops them).
Text WalkPage(const AnalysisPage& page, int32_t position, const std::vector<HistoryRow>& rows,
              const PageTexts& texts, const IssueNotify& notify, const LineSink& sink,
              const TextPieceSink& pieces = {});

// A TextPieceSink that drops the text, for a walk wanted for its lines.
void DropText(std::string_view piece);

// The next-issue line alone, handed to `sink`; it depends on the two newest
// draws only, so the walk covers just those.
void WalkNextLine(const AnalysisPage& page, int32_t position, const std::vector<HistoryRow>& rows,
                  const PageTexts& texts, const LineSink& sink);

}  // namespace zelkor
