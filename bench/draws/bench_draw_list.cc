// ParseDrawList on well-formed lists of growing length, next to std::regex
// (ECMAScript, "[\s\S]" standing in for a dot that matches line breaks) on the
// same documents, and on a mebibyte of row starts that never complete.
#include <benchmark/benchmark.h>

#include <boost/regex.hpp>

#include <regex>
#include <string>
#include <vector>

#include "draws/draws.h"

namespace zelkor {
namespace {

constexpr size_t kMebibyte = size_t{1} << 20;
const std::string kRowStart = "<row expect=\"";

// A draw list as the service writes it, newest draw first.
std::string WellFormedList(int rows) {
  std::string document = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<xml>\r\n";
  for (int i = rows; i > 0; --i) {
    const int issue = 2000000 + i;
    document += "<row expect=\"" + std::to_string(issue) + "\" opencode=\"" +
                std::to_string(i % 10) + "," + std::to_string(i * 7 % 10) + "," +
                std::to_string(i * 3 % 10) +
                "\" opentime=\"2024-05-05 21:15:00\" trycode=\"1,5,8\" tryinfo=\"\" />\r\n";
  }
  return document + "</xml>\r\n";
}

std::string RowStarts(size_t bytes) {
  std::string document;
  while (document.size() + kRowStart.size() <= bytes) document += kRowStart;
  return document;
}

void Report(benchmark::State& state, const std::string& document, size_t draws) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
  state.counters["draws"] = static_cast<double>(draws);
}

// Parses `document` once per iteration.
void ParseRepeatedly(benchmark::State& state, const std::string& document) {
  size_t draws = 0;
  for (auto _ : state) {
    auto parsed = ParseDrawList(document);
    draws = parsed.size();
    benchmark::DoNotOptimize(parsed);
  }
  Report(state, document, draws);
}

void BM_ParseDrawList(benchmark::State& state) {
  ParseRepeatedly(state, WellFormedList(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ParseDrawList)->Arg(1'000)->Arg(10'000)->Arg(100'000);

// The same matches with std::regex, collected into the same records.
void BM_StdRegex(benchmark::State& state) {
  const std::string document = WellFormedList(static_cast<int>(state.range(0)));
  const std::string lazy_any = "[\\s\\S]*?";  // ".*?" with the dot matching line breaks
  std::string pattern(kDrawRowPattern);
  for (size_t at = 0; (at = pattern.find(".*?", at)) != std::string::npos; at += lazy_any.size()) {
    pattern.replace(at, 3, lazy_any);
  }
  const std::regex row(pattern, std::regex::ECMAScript);
  size_t draws = 0;
  for (auto _ : state) {
    std::vector<DrawRecord> parsed;
    for (std::sregex_iterator it(document.begin(), document.end(), row), end; it != end; ++it) {
      const std::smatch& match = *it;
      parsed.push_back({match[1].str(), match[2].str() + match[3].str() + match[4].str()});
    }
    draws = parsed.size();
    benchmark::DoNotOptimize(parsed);
  }
  Report(state, document, draws);
}
BENCHMARK(BM_StdRegex)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// A mebibyte of row starts that never complete, after two good rows.
void BM_ParseDrawList_RowStartsMiB(benchmark::State& state) {
  ParseRepeatedly(state, WellFormedList(2) + RowStarts(kMebibyte));
}
BENCHMARK(BM_ParseDrawList_RowStartsMiB)->Unit(benchmark::kMillisecond);

// A mebibyte of row starts with one row tail at the end: one match that runs
// on from the first row start.
void BM_ParseDrawList_RowStartsThenTailMiB(benchmark::State& state) {
  ParseRepeatedly(state, RowStarts(kMebibyte) +
                             "9\" opencode=\"1,2,3\" opentime=\"\" trycode=\"\" tryinfo=\"\" />");
}
BENCHMARK(BM_ParseDrawList_RowStartsThenTailMiB)->Unit(benchmark::kMillisecond);

// For comparison: Boost.Regex searching on its own through row starts that
// never complete, which grows with the square of the length.
void BM_BoostSearchAlone_RowStarts(benchmark::State& state) {
  const std::string document = RowStarts(static_cast<size_t>(state.range(0)));
  const boost::regex row(kDrawRowPattern.begin(), kDrawRowPattern.end(),
                         boost::regex::perl | boost::regex::mod_s);
  for (auto _ : state) {
    bool found = boost::regex_search(document, row);
    benchmark::DoNotOptimize(found);
  }
  Report(state, document, 0);
}
BENCHMARK(BM_BoostSearchAlone_RowStarts)
    ->Arg(16 << 10)
    ->Arg(64 << 10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelkor
