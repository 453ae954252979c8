#include "backtest/pages.h"

namespace zelkor {

const AnalysisPage& AnalysisPageOf(ReportPage page) {
  switch (page) {
    case ReportPage::kBanker:
      return BankerDigitPage();
    case ReportPage::kSpan:
      return KillSpanPage();
    case ReportPage::kKill:
      break;
  }
  return KillDigitPage();
}

std::string_view ReportPageName(ReportPage page) {
  switch (page) {
    case ReportPage::kBanker:
      return "banker";
    case ReportPage::kSpan:
      return "span";
    case ReportPage::kKill:
      break;
  }
  return "kill";
}

}  // namespace zelkor
