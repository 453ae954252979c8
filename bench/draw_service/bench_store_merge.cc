// Merging 10,000 new draws into the shipped 7,731: the merge alone, and the
// whole of an upstream's round after the fetch (reading the answer, locking,
// reading the store, merging, writing the store durably).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <variant>

#include "draw_service/history/draw_source.h"
#include "draw_service/history/merge.h"
#include "draw_service/store/draw_store.h"

namespace zelkor::service {
namespace {

std::vector<HistoryDraw> Shipped() {
  auto parsed = ReadHistoryFile(ZELKOR_HISTORY_FILE);
  return std::get<std::vector<HistoryDraw>>(std::move(parsed));
}

// `count` draws, one a day from 2026-08-23 on, numbered within each year.
std::vector<HistoryDraw> NewDraws(int count) {
  std::vector<HistoryDraw> draws;
  std::chrono::sys_days day{std::chrono::year{2026} / 8 / 23};
  int year = 2026;
  int number = 225;
  for (int i = 0; i < count; ++i, day += std::chrono::days(1)) {
    const std::chrono::year_month_day date(day);
    if (static_cast<int>(date.year()) != year) {
      year = static_cast<int>(date.year());
      number = 1;
    }
    char issue[16];
    char text[16];
    std::snprintf(issue, sizeof(issue), "%04d%03d", year, number++);
    std::snprintf(text, sizeof(text), "%04d-%02u-%02u", year, static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()));
    draws.push_back({issue, text, std::to_string(100 + i % 900)});
  }
  return draws;
}

void BM_MergeDraws(benchmark::State& state) {
  const std::vector<HistoryDraw> held = Shipped();
  std::vector<OfferedDraw> offered;
  for (HistoryDraw& draw : NewDraws(10000)) offered.push_back({std::move(draw), 0});
  for (auto _ : state) {
    const MergeOutcome outcome = MergeDraws(held, offered);
    if (outcome.added.size() != 10000) state.SkipWithError("not all draws were added");
    benchmark::DoNotOptimize(outcome);
  }
}
BENCHMARK(BM_MergeDraws)->Unit(benchmark::kMillisecond);

void BM_OfferToTheStore(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "zelkor3d-bench-store";
  const DrawStore store(Shipped(), folder);
  const std::string answer = HistoryText(NewDraws(10000));
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(folder);
    state.ResumeTiming();
    const StoreOutcome outcome = store.Offer(ReadDrawSource(answer).draws);
    if (!outcome.error.empty() || outcome.merge.added.size() != 10000) {
      state.SkipWithError("the draws were not stored");
    }
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OfferToTheStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelkor::service
