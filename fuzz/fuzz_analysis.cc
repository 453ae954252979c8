// The analysis walk of every page over arbitrary rows and box texts. The text
// it builds must be, line for line, what the page's pick and verdict give for
// each pair of draws, worked out here from scratch without the walk's
// shortcuts; it must end with the footer; its tally must match its lines; and
// the only run-time errors allowed are an array's own.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/picks.h"
#include "runtime/runtime_error.h"
#include "ui/layout.h"

namespace {

using zelkor::HistoryRow;
using zelkor::PageTexts;
using zelkor::Text;

[[noreturn]] void Fail(std::string_view page, const char* what) {
  std::fprintf(stderr, "fuzz_analysis: %.*s: %s\n", static_cast<int>(page.size()), page.data(),
               what);
  std::abort();
}

// Mostly draws as the service sends them, three ASCII digits, so the walk's
// per-draw cache is exercised; otherwise any bytes: a few, or any share of
// what the input has left, so that large inputs make long draws and a page
// that is slow on them is found.
Text ConsumeDigits(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) {
    Text digits(3, '0');
    for (char& digit : digits) digit = static_cast<char>('0' + input.ConsumeIntegralInRange(0, 9));
    return digits;
  }
  if (input.ConsumeBool()) return input.ConsumeRandomLengthString(6);
  return input.ConsumeBytesAsString(
      input.ConsumeIntegralInRange<size_t>(0, input.remaining_bytes()));
}

Text ConsumeText(FuzzedDataProvider& input) { return input.ConsumeRandomLengthString(12); }

// The whole output text as the walk must build it, line by line.
Text ExpectedText(const zelkor::AnalysisPage& page, const std::vector<HistoryRow>& rows,
                  const PageTexts& texts, int32_t position, const zelkor::Notify& notify,
                  int64_t& held) {
  const double multiplier =
      page.HasKillPosition() ? zelkor::KillPositionMultiplier(position) : page.multiplier;
  const Text& suffix = zelkor::IssueSuffix();
  auto head = [&](const Text& issue, const Text& pick) {
    return texts.separator + issue + suffix + texts.name + texts.separator + texts.left + pick +
           texts.right + texts.separator;
  };
  Text out;
  Text last_issue;
  Text last_checked;
  // Oldest pair first: the draw below judges the pick made from the draw above it.
  for (size_t k = rows.size(); k-- > 1;) {
    const HistoryRow& source = rows[k];
    const HistoryRow& checked = rows[k - 1];
    const Text pick = page.pick(zelkor::ComputeDrawValue(source.digits, multiplier).text);
    const bool holds = page.verdict(position, pick, checked.digits, notify);
    held += holds ? 1 : 0;
    out +=
        head(checked.issue, pick) + checked.digits + (holds ? texts.correct : texts.wrong) + "\r\n";
    last_issue = checked.issue;
    last_checked = checked.digits;
  }
  const Text next_issue = zelkor::ToText(zelkor::ToInteger(last_issue) + 1.0);
  const Text next_pick = page.pick(zelkor::ComputeDrawValue(last_checked, multiplier).text);
  out += head(next_issue, next_pick) + texts.not_drawn + "\r\n" + texts.footer;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int32_t position = input.ConsumeIntegralInRange<int32_t>(0, 3);
  PageTexts texts;
  for (const zelkor::layout::PageSetting& setting : zelkor::layout::kPageSettings) {
    texts.*setting.member = ConsumeText(input);
  }
  std::vector<HistoryRow> rows(input.ConsumeIntegralInRange<size_t>(0, 40));
  for (HistoryRow& row : rows) {
    row.issue = input.ConsumeBool() ? std::to_string(input.ConsumeIntegral<int32_t>())
                                    : input.ConsumeRandomLengthString(10);
    row.digits = ConsumeDigits(input);
  }

  const std::vector<const zelkor::AnalysisPage*>& pages = zelkor::AllAnalysisPages();
  for (size_t p = 0; p < pages.size(); ++p) {
    const std::string_view name = pages[p]->option_name;
    std::vector<Text> notices;
    std::vector<Text> expected_notices;
    try {
      zelkor::WalkTally tally;
      const Text built = zelkor::BuildPageText(
          *pages[p], rows, texts, position, [&](const Text& notice) { notices.push_back(notice); },
          &tally);
      int64_t held = 0;
      const Text expected = ExpectedText(
          *pages[p], rows, texts, position,
          [&](const Text& notice) { expected_notices.push_back(notice); }, held);

      if (built != expected) Fail(name, "output differs from its lines worked out one by one");
      if (!built.ends_with(texts.footer)) Fail(name, "output does not end with the footer");
      if (notices != expected_notices) Fail(name, "notices differ");
      const auto judged = static_cast<int64_t>(rows.empty() ? 0 : rows.size() - 1);
      if (tally.judged != judged || tally.held != held) Fail(name, "tally differs from the lines");
      if (static_cast<int64_t>(notices.size()) > judged) Fail(name, "more notices than lines");
    } catch (const zelkor::RuntimeError& error) {
      if (error.code() != 1 && error.code() != 4)
        Fail(name, "run-time error other than an array's");
    }
  }
  return 0;
}
