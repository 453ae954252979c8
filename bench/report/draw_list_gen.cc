// Writes a draw-list document of made-up draws, in the row format the draw
// service serves, for measuring the report tool on a long history. The same
// arguments always give the same bytes: one draw a day back from 2026-08-22,
// each issue the year and the day's number in it, digits from a seeded
// generator.
//
//   zelkor3d-draw-list-gen ROWS FILE [SEED]   (SEED 1 by default)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "draw_service/history/draw_list.h"
#include "runtime/input_limit.h"

namespace {

// "YYYY-MM-DD" and the issue "YYYYNNN" of a day.
zelkor::service::HistoryDraw DrawOn(std::chrono::sys_days day, unsigned number) {
  using namespace std::chrono;
  const year_month_day date(day);
  const int year = static_cast<int>(date.year());
  const auto day_of_year = (day - sys_days(date.year() / January / 1)).count() + 1;
  char issue[16];
  char text[16];
  std::snprintf(issue, sizeof issue, "%04d%03d", year, static_cast<int>(day_of_year));
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", year, static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  const std::string digits{static_cast<char>('0' + number / 100),
                           static_cast<char>('0' + number / 10 % 10),
                           static_cast<char>('0' + number % 10)};
  return {issue, text, digits};
}

}  // namespace

int main(int argc, char** argv) {
  using namespace std::chrono;
  if (argc < 3) {
    std::fprintf(stderr, "usage: zelkor3d-draw-list-gen ROWS FILE [SEED]\n");
    return 2;
  }
  const unsigned long rows = std::strtoul(argv[1], nullptr, 10);
  // The engine's sequence is fixed by the standard; the distribution's is
  // not, so the digits are taken from it directly.
  std::mt19937 random(argc > 3 ? static_cast<std::mt19937::result_type>(std::atol(argv[3])) : 1);
  const sys_days newest = sys_days(2026y / August / 22);
  std::vector<zelkor::service::HistoryDraw> draws;  // oldest first
  draws.reserve(rows);
  for (unsigned long i = 0; i < rows; ++i) {
    const sys_days day = newest - days(static_cast<long>(rows - 1 - i));
    draws.push_back(DrawOn(day, static_cast<unsigned>(random() % 1000)));
  }
  const std::string document = zelkor::service::DrawListDocument(draws);
  if (document.size() > zelkor::kMaxInputBytes) {
    std::fprintf(stderr, "zelkor3d-draw-list-gen: %zu bytes, past the report's input cap\n",
                 document.size());
    return 1;
  }
  std::FILE* file = std::fopen(argv[2], "wb");
  const bool written =
      file != nullptr && std::fwrite(document.data(), 1, document.size(), file) == document.size();
  if (file == nullptr || std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "zelkor3d-draw-list-gen: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
