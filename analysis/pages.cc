#include <array>
#include <tuple>
#include <type_traits>

#include "analysis/analysis.h"
#include "analysis/picks.h"

namespace zelkor {
namespace {

Text PickBankerDigits(const Text& value_text) {
  return PickDistinctDigits(value_text, kBankerCount);
}

Text PickKillSpans(const Text& value_text) { return PickDistinctDigits(value_text, KillSpanCount); }

bool KillDigitVerdict(int32_t position, const Text& pick, const Text& checked, const Notify&) {
  return KillDigitHolds(position, pick, checked);
}

bool BankerVerdict(int32_t, const Text& pick, const Text& checked, const Notify&) {
  return CheckBanker(pick, checked);
}

bool KillSpanVerdict(int32_t, const Text& pick, const Text& checked, const Notify& notify) {
  return CheckKillSpan(pick, checked, notify);
}

// The pages in tab order; everything that sets one page apart from another
// is in its row here, and a row may leave no field out (AllAnalysisPages'
// test checks each is set). A page's controls are named by the layout rows
// of its tab; one row per tab of the layout.
const auto& PageTable() {
  static const auto pages = std::to_array<AnalysisPage>({
      {.tab = 0,
       .option_name = "kill",
       .english_label = "kill",
       .chinese_label = "杀码",
       .english_name = "kill digits",
       .pick_meaning = "不开这个数字",
       .multiplier = 0.0,
       .pick = PickKillDigit,
       .verdict = KillDigitVerdict},
      {.tab = 1,
       .option_name = "banker",
       .english_label = "banker",
       .chinese_label = "胆码",
       .english_name = "banker digits",
       .pick_meaning = "开奖号的三个数字中至少有一个是其中之一",
       .multiplier = 6.0,
       .pick = PickBankerDigits,
       .verdict = BankerVerdict},
      {.tab = 2,
       .option_name = "span",
       .english_label = "span",
       .chinese_label = "杀跨",
       .english_name = "kill spans",
       .pick_meaning = "跨度(最大数字减最小数字)不是其中之一",
       .multiplier = 1.0,
       .pick = PickKillSpans,
       .verdict = KillSpanVerdict},
  });
  static_assert(std::tuple_size_v<std::remove_cvref_t<decltype(pages)>> == layout::kPages.size(),
                "one analysis page for each page of the layout (layout::kPages)");
  return pages;
}

}  // namespace

const AnalysisPage& KillDigitPage() { return PageTable()[0]; }
const AnalysisPage& BankerDigitPage() { return PageTable()[1]; }
const AnalysisPage& KillSpanPage() { return PageTable()[2]; }

const std::vector<const AnalysisPage*>& AllAnalysisPages() {
  static const std::vector<const AnalysisPage*> pages = [] {
    std::vector<const AnalysisPage*> all;
    for (const AnalysisPage& page : PageTable()) all.push_back(&page);
    return all;
  }();
  return pages;
}

const AnalysisPage* AnalysisPageNamed(std::string_view option_name) {
  for (const AnalysisPage* page : AllAnalysisPages()) {
    if (page->option_name == option_name) return page;
  }
  return nullptr;
}

}  // namespace zelkor
