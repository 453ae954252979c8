// The rolling hit rate of each page drawn as an SVG chart, against the
// chance baseline of the same picks and its 95% band.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backtest/chance.h"
#include "backtest/language.h"

namespace zelkor {

// The default window of the chart's rolling hit rate, in judged lines.
inline constexpr int32_t kDefaultChartWindow = 100;

// One page's judged lines, oldest first.
struct ChartSeries {
  std::string label;  // e.g. "kill (position 1)"
  std::vector<LineOutcome> lines;
};

// The SVG document (UTF-8): one panel per series, the hit rate over the last
// `window` judged lines (fewer while there are fewer) at each line, the
// chance baseline over the same lines and the band in which random draws
// keep that rate 95 times in 100. `issue_of(i)` names judged line i on the
// issue axis. The chart's words are in `language`.
[[nodiscard]] std::string BuildChartSvg(const std::vector<ChartSeries>& series,
                                        const std::function<std::string(size_t)>& issue_of,
                                        int32_t window,
                                        HelpLanguage language = HelpLanguage::kEnglish);

}  // namespace zelkor
