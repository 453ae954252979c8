// The window under load, driven as a user drives it: a hundred thousand draws
// listed through the operations, each page's run button over them, a
// megabyte pasted into a setting box and typed after, a run whose output is
// several megabytes, and the copy of that output.
//
// Every heavy step also reports how long the event loop then takes to answer
// (answer_ms): the time until an event posted right after the step is
// delivered, behind whatever repaints and layout the step left pending.
// Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "app/qt_event_wiring.h"
#include "ui/qt/history_list.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/tab_control.h"

namespace zelkor {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t kManyDraws = 100000;
constexpr size_t kMegabyte = size_t{1} << 20;
// Draws for the run with a megabyte name: each of its lines carries the
// name, so the output is about this many megabytes.
constexpr int kFewDraws = 4;

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "bench_window";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  benchmark::DoNotOptimize(app);
}

double SecondsOf(const std::function<void()>& step) {
  const Clock::time_point start = Clock::now();
  step();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Ends its loop when the event posted to it arrives.
class AnswerProbe : public QObject {
 public:
  explicit AnswerProbe(QEventLoop& loop) : loop_(loop) {}
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    loop_.quit();
    return true;
  }

 private:
  QEventLoop& loop_;
};

// Repaints are posted at low priority; an event posted after them at the
// same priority is delivered only once they are done.
double AnswerSeconds() {
  QEventLoop loop;
  AnswerProbe probe(loop);
  return SecondsOf([&] {
    QCoreApplication::postEvent(&probe, new QEvent(QEvent::User), Qt::LowEventPriority);
    loop.exec();
  });
}

std::unique_ptr<MainWindow> ShownWindow() {
  EnsureApplication();
  std::unique_ptr<MainWindow> window = CreateMainWindow();
  WireEvents(*window);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) std::abort();
  AnswerSeconds();
  return window;
}

// Newest first; digits from a fixed pseudo-random sequence.
std::vector<HistoryRow> MakeDraws(int64_t count) {
  std::vector<HistoryRow> rows;
  rows.reserve(static_cast<size_t>(count));
  uint32_t seed = 12345;
  for (int64_t i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    rows.push_back({std::to_string(2000000 + count - i), std::to_string(100 + (seed >> 8) % 900)});
  }
  return rows;
}

// In the order the history is loaded: a row, its digits, then its issue.
void ListDraws(UiOperations& ui, const std::vector<HistoryRow>& rows) {
  for (const HistoryRow& row : rows) {
    const int32_t index = ui.AppendRow(ctl::超级列表框1);
    ui.SetCellText(ctl::超级列表框1, index, 1, row.digits);
    ui.SetCellText(ctl::超级列表框1, index, 0, row.issue);
  }
}

size_t CellBytes(const std::vector<HistoryRow>& rows) {
  size_t bytes = 0;
  for (const HistoryRow& row : rows) bytes += row.issue.size() + row.digits.size();
  return bytes;
}

// The texts pasted: ASCII letters among GB2312 hanzi (a script change every
// few characters, the most shaping work), hanzi alone, and ASCII letters
// alone, one word a megabyte long (the hardest case for wrapping).
enum TextKind { kMixed, kHanzi, kOneWord };
constexpr std::array<const char*, 3> kTextKindNames{"mixed", "hanzi", "one_word"};

Text GbkTextOf(size_t bytes, TextKind kind) {
  Text text;
  text.reserve(bytes + 2);
  uint32_t seed = 99;
  while (text.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t r = seed >> 8;
    if (kind == kOneWord || (kind == kMixed && r % 4 == 0)) {
      text.push_back(static_cast<char>('a' + r / 4 % 26));
    } else {
      text.push_back(static_cast<char>(0xB0 + r / 4 % 39));  // rows 0xB0 to 0xD6
      text.push_back(static_cast<char>(0xA1 + r / 256 % 94));
    }
  }
  return text;
}

void Click(MainWindow& window, int page, Button button) {
  window.tabs().SetCurrentIndex(page);
  QTest::mouseClick(window.ButtonOf(button), Qt::LeftButton);
}

void Report(benchmark::State& state, double answer_seconds, size_t bytes) {
  state.counters["answer_ms"] = answer_seconds * 1e3 / static_cast<double>(state.iterations());
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ListDraws(benchmark::State& state) {
  const std::vector<HistoryRow> rows = MakeDraws(state.range(0));
  double answer = 0;
  for (auto _ : state) {
    std::unique_ptr<MainWindow> window = ShownWindow();
    state.SetIterationTime(SecondsOf([&] { ListDraws(window->ui(), rows); }));
    answer += AnswerSeconds();
  }
  Report(state, answer, CellBytes(rows));
}
BENCHMARK(BM_ListDraws)
    ->Arg(kManyDraws)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

// One page's run button, clicked on its page over the listed history. The
// window is listed once and kept to the end of the program.
void BM_RunButton(benchmark::State& state) {
  static MainWindow* const window = [] {
    MainWindow* listed = ShownWindow().release();
    ListDraws(listed->ui(), MakeDraws(kManyDraws));
    AnswerSeconds();
    return listed;
  }();
  const auto page_index = static_cast<size_t>(state.range(0));
  const AnalysisPage& page = *AllAnalysisPages()[page_index];
  double answer = 0;
  for (auto _ : state) {
    state.SetIterationTime(
        SecondsOf([&] { Click(*window, static_cast<int>(page_index), page.RunButton()); }));
    answer += AnswerSeconds();
  }
  Report(state, answer, window->ui().GetBoxText(page.OutputBox()).size());
}
BENCHMARK(BM_RunButton)
    ->ArgName("page")
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

// A window with a few draws, the banker page in front, its name box focused
// and a megabyte on the clipboard.
struct MegabyteWindow {
  explicit MegabyteWindow(TextKind kind)
      : window(ShownWindow()),
        name_box(qobject_cast<QLineEdit*>(window->Control(ctl::编辑框_名称1.name))) {
    ListDraws(window->ui(), MakeDraws(kFewDraws));
    window->tabs().SetCurrentIndex(1);
    name_box->setFocus();
    QGuiApplication::clipboard()->setText(ToQString(GbkTextOf(kMegabyte, kind)));
    AnswerSeconds();
  }

  // Ctrl+A then Ctrl+V, as a user replaces the name.
  void Paste() {
    QTest::keyClick(name_box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(name_box, Qt::Key_V, Qt::ControlModifier);
  }

  size_t NameBytes() { return window->ui().GetBoxText(ctl::编辑框_名称1).size(); }

  std::unique_ptr<MainWindow> window;
  QLineEdit* name_box;
};

void BM_PasteMegabyte(benchmark::State& state) {
  MegabyteWindow w(static_cast<TextKind>(state.range(0)));
  double answer = 0;
  for (auto _ : state) {
    state.SetIterationTime(SecondsOf([&] { w.Paste(); }));
    answer += AnswerSeconds();
  }
  Report(state, answer, w.NameBytes());
  state.SetLabel(kTextKindNames[static_cast<size_t>(state.range(0))]);
}

// Eight keys typed and a character committed by an input method at the end
// of the megabyte; each iteration adds its nine characters.
void BM_TypeAfterMegabyte(benchmark::State& state) {
  MegabyteWindow w(static_cast<TextKind>(state.range(0)));
  w.Paste();
  AnswerSeconds();
  double answer = 0;
  for (auto _ : state) {
    state.SetIterationTime(SecondsOf([&] {
      QTest::keyClicks(w.name_box, QStringLiteral("typed 12"));
      QInputMethodEvent commit;
      commit.setCommitString(Caption("码"));
      QCoreApplication::sendEvent(w.name_box, &commit);
    }));
    answer += AnswerSeconds();
  }
  Report(state, answer, w.NameBytes());
  state.SetLabel(kTextKindNames[static_cast<size_t>(state.range(0))]);
}

// One repaint of the focused box holding the megabyte, as each blink of its
// cursor asks for.
void BM_RepaintMegabyteBox(benchmark::State& state) {
  MegabyteWindow w(static_cast<TextKind>(state.range(0)));
  w.Paste();
  AnswerSeconds();
  for (auto _ : state) w.name_box->repaint();
  Report(state, 0, w.NameBytes());
  state.SetLabel(kTextKindNames[static_cast<size_t>(state.range(0))]);
}

// The banker page's run button with the megabyte name (copy 0), or its copy
// button once the output is there (copy 1); bytes is the output's size.
void BM_RunOrCopyWithMegabyteName(benchmark::State& state) {
  MegabyteWindow w(static_cast<TextKind>(state.range(0)));
  w.Paste();
  Click(*w.window, 1, ctl::按钮_胆码);
  AnswerSeconds();
  const Button button = state.range(1) == 1 ? ctl::按钮2 : ctl::按钮_胆码;
  double answer = 0;
  for (auto _ : state) {
    state.SetIterationTime(SecondsOf([&] { Click(*w.window, 1, button); }));
    answer += AnswerSeconds();
  }
  Report(state, answer, w.window->ui().GetBoxText(ctl::编辑框_胆码).size());
  state.SetLabel(kTextKindNames[static_cast<size_t>(state.range(0))]);
}

// One repaint of the list when the service sent a row whose issue runs on
// for megabytes (a row element left open swallows what follows it).
void BM_RepaintListWithHugeCell(benchmark::State& state) {
  std::unique_ptr<MainWindow> window = ShownWindow();
  std::vector<HistoryRow> rows = MakeDraws(3);
  rows[0].issue = GbkTextOf(static_cast<size_t>(state.range(0)) * kMegabyte, kMixed);
  ListDraws(window->ui(), rows);
  AnswerSeconds();
  QWidget* list = window->Control(ctl::超级列表框1.name);
  for (auto _ : state) list->repaint();
  Report(state, 0, rows[0].issue.size());
}
BENCHMARK(BM_RepaintListWithHugeCell)
    ->ArgName("megabytes")
    ->Arg(1)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Peak memory of one step: the high-water mark of the resident set is reset
// to the present one before the step (Linux), and the extra is the mark
// after it less the resident set before.
size_t StatusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoul(line.substr(field.size() + 1));
  }
  return 0;
}

double PeakExtraMegabytes(const std::function<void()>& step) {
  std::ofstream("/proc/self/clear_refs") << "5";
  const size_t before = StatusKilobytes("VmRSS");
  step();
  const size_t peak = StatusKilobytes("VmHWM");
  return peak > before ? static_cast<double>(peak - before) / 1024.0 : 0.0;
}

// A window listing a few draws, the second of which holds megabytes where
// its three digits belong (a row element left open): digits, or with
// `mixed` hanzi among ASCII letters.
struct HugeCellWindow {
  explicit HugeCellWindow(const benchmark::State& state) : window(ShownWindow()) {
    const size_t bytes = static_cast<size_t>(state.range(0)) * kMegabyte;
    std::vector<HistoryRow> rows = MakeDraws(kFewDraws);
    rows[1].digits = state.range(1) == 1 ? GbkTextOf(bytes, kMixed) : "1,2," + Text(bytes - 4, '7');
    ListDraws(window->ui(), rows);
    AnswerSeconds();
  }

  void ClickRow(int row) {
    HistoryListView& list = window->history_list();
    const QRect rect = list.visualRect(list.history().index(row, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  }

  std::unique_ptr<MainWindow> window;
};

void ReportPeak(benchmark::State& state, double peak_megabytes) {
  state.counters["extra_MB"] =
      benchmark::Counter(peak_megabytes, benchmark::Counter::kAvgIterations);
}

// A click on the row holding megabytes: its digits go into 编辑框1. The box
// holds a small draw before each click.
void BM_ClickHugeCellRow(benchmark::State& state) {
  HugeCellWindow w(state);
  double answer = 0;
  double peak = 0;
  for (auto _ : state) {
    w.ClickRow(0);
    AnswerSeconds();
    double seconds = 0;
    peak += PeakExtraMegabytes([&] {
      seconds = SecondsOf([&] { w.ClickRow(1); });
      answer += AnswerSeconds();
    });
    state.SetIterationTime(seconds);
  }
  Report(state, answer, w.window->ui().GetBoxText(ctl::编辑框1).size());
  ReportPeak(state, peak);
}

// The kill-digit page's run button over the list holding megabytes; its
// output holds them once, in the line that judges that draw.
void BM_KillRunOverHugeCell(benchmark::State& state) {
  HugeCellWindow w(state);
  double answer = 0;
  double peak = 0;
  for (auto _ : state) {
    double seconds = 0;
    peak += PeakExtraMegabytes([&] {
      seconds = SecondsOf([&] { Click(*w.window, 0, ctl::按钮_杀码); });
      answer += AnswerSeconds();
    });
    state.SetIterationTime(seconds);
  }
  Report(state, answer, w.window->ui().GetBoxText(ctl::编辑框_杀码).size());
  ReportPeak(state, peak);
}

// The kill-digit page's copy button once its output holds the megabytes.
void BM_CopyKillOutputWithHugeCell(benchmark::State& state) {
  HugeCellWindow w(state);
  Click(*w.window, 0, ctl::按钮_杀码);
  AnswerSeconds();
  double answer = 0;
  double peak = 0;
  for (auto _ : state) {
    QGuiApplication::clipboard()->clear();
    double seconds = 0;
    peak += PeakExtraMegabytes([&] {
      seconds = SecondsOf([&] { Click(*w.window, 0, ctl::按钮1); });
      answer += AnswerSeconds();
    });
    state.SetIterationTime(seconds);
  }
  Report(state, answer, static_cast<size_t>(QGuiApplication::clipboard()->text().size()));
  ReportPeak(state, peak);
}

void HugeCellArgs(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"megabytes", "mixed"})->ArgsProduct({{16, 64}, {0, 1}});
  benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
}

BENCHMARK(BM_ClickHugeCellRow)->Apply(HugeCellArgs);
BENCHMARK(BM_KillRunOverHugeCell)->Apply(HugeCellArgs);
BENCHMARK(BM_CopyKillOutputWithHugeCell)->Apply(HugeCellArgs);

void MegabyteArgs(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("text")->DenseRange(kMixed, kOneWord);
  benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
}

BENCHMARK(BM_PasteMegabyte)->Apply(MegabyteArgs);
BENCHMARK(BM_TypeAfterMegabyte)->Apply(MegabyteArgs);
BENCHMARK(BM_RepaintMegabyteBox)
    ->ArgName("text")
    ->DenseRange(kMixed, kOneWord)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3);
BENCHMARK(BM_RunOrCopyWithMegabyteName)
    ->ArgNames({"text", "copy"})
    ->ArgsProduct({{kMixed, kHanzi, kOneWord}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

}  // namespace
}  // namespace zelkor
