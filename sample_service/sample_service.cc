#include "sample_service/sample_service.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

// Only the fixed path is taken from the draws module.
#include "draws/draws.h"

#if !defined(ZELKOR_SAMPLE_STARTUP_PATH) || !defined(ZELKOR_SAMPLE_VERSION_PATH)
#error "The sample service's paths must be set by the build"
#endif

namespace zelkor::sample {
namespace {

// Fixed so that every run serves the same history.
constexpr uint32_t kSeed = 20250101;
constexpr std::chrono::year_month_day kFirstDrawDay{std::chrono::year{2025}, std::chrono::January,
                                                    std::chrono::day{1}};

struct SampleDraw {
  std::chrono::year_month_day day;
  int number_in_year;
  std::array<int, 3> open;
  std::array<int, 3> trial;
};

// std::mt19937 gives the same sequence everywhere; the reduction to a digit
// is ours, since the standard distributions may differ between libraries.
int NextDigit(std::mt19937& generator) { return static_cast<int>(generator() % 10U); }

// One draw a day from the first day on, oldest first.
std::vector<SampleDraw> SampleDraws() {
  std::mt19937 generator(kSeed);
  std::vector<SampleDraw> draws;
  draws.reserve(kSampleDrawCount);
  std::chrono::sys_days day{kFirstDrawDay};
  int number_in_year = 0;
  for (int i = 0; i < kSampleDrawCount; ++i, day += std::chrono::days{1}) {
    const std::chrono::year_month_day date{day};
    number_in_year =
        (i > 0 && date.month() == std::chrono::January && date.day() == std::chrono::day{1})
            ? 1
            : number_in_year + 1;
    SampleDraw draw{date, number_in_year, {}, {}};
    for (int& digit : draw.open) digit = NextDigit(generator);
    for (int& digit : draw.trial) digit = NextDigit(generator);
    draws.push_back(draw);
  }
  return draws;
}

std::string RowElement(const SampleDraw& draw) {
  char row[256];
  const int written = std::snprintf(
      row, sizeof row,
      "<row expect=\"%04d%03d\" opencode=\"%d,%d,%d\" opentime=\"%04d-%02u-%02u 21:15:00\" "
      "trycode=\"%d,%d,%d\" tryinfo=\"\" />",
      static_cast<int>(draw.day.year()), draw.number_in_year, draw.open[0], draw.open[1],
      draw.open[2], static_cast<int>(draw.day.year()), static_cast<unsigned>(draw.day.month()),
      static_cast<unsigned>(draw.day.day()), draw.trial[0], draw.trial[1], draw.trial[2]);
  return std::string(row, static_cast<size_t>(written));
}

std::string BuildDrawList() {
  const std::vector<SampleDraw> draws = SampleDraws();
  std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<xml>\n";
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
    document.append(RowElement(*it)).append("\n");
  }
  document.append("</xml>\n");
  return document;
}

void Answer(httplib::Server& server, std::string_view path, std::string body,
            std::string content_type) {
  server.Get(std::string(path), [body = std::move(body), content_type = std::move(content_type)](
                                    const httplib::Request&, httplib::Response& response) {
    response.set_content(body, content_type.c_str());
  });
}

}  // namespace

const std::string& SampleDrawList() {
  static const std::string document = BuildDrawList();
  return document;
}

const std::string& SampleStartupPage() {
  static const std::string page =
      "<!DOCTYPE html>\n"
      "<html lang=\"zh-CN\">\n"
      "<head><meta charset=\"utf-8\"><title>Zelkor3D</title></head>\n"
      "<body>\n"
      "<h1>Zelkor3D 福彩3D分析</h1>\n"
      "<p>欢迎使用 Zelkor3D。本页由示例服务提供,开奖数据为示例数据,并非真实开奖结果。</p>\n"
      "</body>\n"
      "</html>\n";
  return page;
}

std::string_view SampleStartupPagePath() { return ZELKOR_SAMPLE_STARTUP_PATH; }
std::string_view SampleVersionRecordPath() { return ZELKOR_SAMPLE_VERSION_PATH; }

void AddSampleRoutes(httplib::Server& server, RequestLog log) {
  Answer(server, kDrawListPath, SampleDrawList(), "text/xml; charset=utf-8");
  Answer(server, SampleVersionRecordPath(), std::string(kSampleVersionRecord), "text/plain");
  Answer(server, SampleStartupPagePath(), SampleStartupPage(), "text/html; charset=utf-8");
  if (log) {
    server.set_logger(
        [log = std::move(log)](const httplib::Request& request, const httplib::Response& response) {
          log(request.method + " " + request.path + " " + std::to_string(response.status));
        });
  }
}

}  // namespace zelkor::sample
