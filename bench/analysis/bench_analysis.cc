// BuildAnalysisText over long histories and over long draws: the walk must
// stay linear in rows and in the bytes of a row.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "draws/draws.h"
#include "ui/page_texts.h"

namespace zelkor {
namespace {

// Newest first, issues counting down, digits from a fixed linear congruential
// sequence so every run walks the same draws.
std::vector<HistoryRow> MakeHistory(int64_t count) {
  std::vector<HistoryRow> rows;
  rows.reserve(static_cast<size_t>(count));
  uint32_t state = 12345;
  for (int64_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    const uint32_t draw = (state >> 8) % 1000;
    Text digits(3, '0');
    digits[0] = static_cast<char>('0' + draw / 100);
    digits[1] = static_cast<char>('0' + draw / 10 % 10);
    digits[2] = static_cast<char>('0' + draw % 10);
    rows.push_back({std::to_string(20'000'000 + count - i), std::move(digits)});
  }
  return rows;
}

void BM_BuildPageText(benchmark::State& state, const AnalysisPage& page) {
  const std::vector<HistoryRow> rows = MakeHistory(state.range(0));
  const PageTexts& texts = InitialPageTexts();
  const Notify notify = [](const Text&) {};
  for (auto _ : state) {
    Text text = BuildPageText(page, rows, texts, 1, notify);
    benchmark::DoNotOptimize(text);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A document of two rows whose newest draw is "12" and then sevens, to make
// `bytes` bytes in all: a hostile service's row, checked by every page. Listing
// and the page's text together, as the window and the report tool do them.
void BM_PageOnLongDraw(benchmark::State& state, const AnalysisPage& page) {
  const auto bytes = static_cast<size_t>(state.range(0));
  const std::string head = "<row expect=\"2\" opencode=\"1,2,";
  const std::string tail =
      "\" opentime=\"\" trycode=\"\" tryinfo=\"\" />\n"
      "<row expect=\"1\" opencode=\"3,5,8\" opentime=\"\" trycode=\"\" tryinfo=\"\" />\n";
  const std::string document = head + std::string(bytes - head.size() - tail.size(), '7') + tail;
  const PageTexts& texts = InitialPageTexts();
  const Notify notify = [](const Text&) {};
  for (auto _ : state) {
    std::vector<HistoryRow> rows;
    for (DrawRecord& record : ParseDrawList(document)) {
      rows.push_back({std::move(record.issue), std::move(record.digits)});
    }
    Text text = BuildPageText(page, rows, texts, 1, notify);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Both benchmarks for every page, named by its report name.
const bool kRegistered = [] {
  for (const AnalysisPage* page : AllAnalysisPages()) {
    const std::string name(page->option_name);
    benchmark::RegisterBenchmark(("BM_BuildPageText/" + name).c_str(), BM_BuildPageText, *page)
        ->RangeMultiplier(10)
        ->Range(1'000, 100'000)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
    benchmark::RegisterBenchmark(("BM_PageOnLongDraw/" + name).c_str(), BM_PageOnLongDraw, *page)
        ->RangeMultiplier(4)
        ->Range(64 << 10, 16 << 20)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace zelkor
