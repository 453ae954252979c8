#include <array>

#include "analysis/analysis.h"
#include "analysis/picks.h"
#include "ui/initial_texts.h"

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

// The three pages in tab order; everything that sets one page apart from
// another is in its row here.
const std::array<AnalysisPage, 3>& PageTable() {
  static const std::array<AnalysisPage, 3> pages{{
      {ctl::按钮_杀码, ctl::按钮1, ctl::编辑框_杀码, ctl::编辑框_间隔, ctl::编辑框_名称,
       ctl::编辑框_左, ctl::编辑框_右, ctl::编辑框_准, ctl::编辑框_错, ctl::编辑框_未开,
       ctl::编辑框_脚本, MultiplierSource::kKillPosition, 0.0, PickKillDigit, KillDigitVerdict},
      {ctl::按钮_胆码, ctl::按钮2, ctl::编辑框_胆码, ctl::编辑框_间隔1, ctl::编辑框_名称1,
       ctl::编辑框_左1, ctl::编辑框_右1, ctl::编辑框_准1, ctl::编辑框_错1, ctl::编辑框_未开1,
       ctl::编辑框_脚本1, MultiplierSource::kFixed, 6.0, PickBankerDigits, BankerVerdict},
      {ctl::按钮_杀跨, ctl::按钮3, ctl::编辑框_杀跨, ctl::编辑框_间隔2, ctl::编辑框_名称2,
       ctl::编辑框_左2, ctl::编辑框_右2, ctl::编辑框_准2, ctl::编辑框_错2, ctl::编辑框_未开2,
       ctl::编辑框_脚本2, MultiplierSource::kFixed, 1.0, PickKillSpans, KillSpanVerdict},
  }};
  return pages;
}

}  // namespace

PageTexts InitialBoxTexts() {
  const InitialTexts& initial = InitialPageTexts();
  return PageTexts{initial.separator, initial.name,  initial.left,      initial.right,
                   initial.correct,   initial.wrong, initial.not_drawn, initial.footer};
}

const AnalysisPage& KillDigitPage() { return PageTable()[0]; }
const AnalysisPage& BankerDigitPage() { return PageTable()[1]; }
const AnalysisPage& KillSpanPage() { return PageTable()[2]; }

const std::vector<const AnalysisPage*>& AllAnalysisPages() {
  static const std::vector<const AnalysisPage*> pages{&KillDigitPage(), &BankerDigitPage(),
                                                      &KillSpanPage()};
  return pages;
}

}  // namespace zelkor
