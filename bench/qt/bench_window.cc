// The window with a large history: filling the list through the operations
// and running an analysis over it. Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "analysis/analysis.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_ui.h"

namespace zelkor {
namespace {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "bench_window";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  benchmark::DoNotOptimize(app);
}

std::unique_ptr<MainWindow> ShownWindow() {
  EnsureApplication();
  std::unique_ptr<MainWindow> window = CreateMainWindow();
  window->show();
  QCoreApplication::processEvents();
  return window;
}

// Newest first; digits from a fixed pseudo-random sequence.
void FillHistory(UiOperations& ui, int64_t rows) {
  uint32_t seed = 12345;
  for (int64_t i = 0; i < rows; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::string digits = std::to_string(100 + (seed >> 8) % 900);
    const int32_t row = ui.AppendRow(ctl::超级列表框1);
    ui.SetCellText(ctl::超级列表框1, row, 1, digits);
    ui.SetCellText(ctl::超级列表框1, row, 0, std::to_string(2000000 + rows - i));
  }
}

// The list filled, then the kill-digit analysis over it, then one repaint.
void BM_FillAndAnalyse(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<MainWindow> window = ShownWindow();
    state.ResumeTiming();
    FillHistory(window->ui(), state.range(0));
    RunAnalysisWalk(window->ui(), KillDigitPage());
    window->repaint();
    QCoreApplication::processEvents();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillAndAnalyse)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FillOnly(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<MainWindow> window = ShownWindow();
    state.ResumeTiming();
    FillHistory(window->ui(), state.range(0));
    window->repaint();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FillOnly)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each page once over a filled list.
void BM_AnalyseOnly(benchmark::State& state) {
  std::unique_ptr<MainWindow> window = ShownWindow();
  FillHistory(window->ui(), state.range(0));
  const auto& pages = AllAnalysisPages();
  const AnalysisPage& page = *pages[static_cast<size_t>(state.range(1))];
  for (auto _ : state) {
    RunAnalysisWalk(window->ui(), page);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_AnalyseOnly)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace zelkor
