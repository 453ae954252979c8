#include "draw_service/draw_service.h"

#include <memory>
#include <utility>

#include "draw_service/freshness.h"
#include "draw_service/start_page.h"

// Only the fixed path is taken from the draws module.
#include "draws/draws.h"

#if !defined(ZELKOR_STARTUP_PATH) || !defined(ZELKOR_VERSION_PATH)
#error "The draw service's paths must be set by the build"
#endif

namespace zelkor::service {
namespace {

// The 3D lottery is drawn at a quarter past nine in the evening.
constexpr std::string_view kDrawTime = " 21:15:00";

void AppendRow(std::string& document, const HistoryDraw& draw) {
  document.append("<row expect=\"").append(draw.issue).append("\" opencode=\"");
  document.push_back(draw.digits[0]);
  document.push_back(',');
  document.push_back(draw.digits[1]);
  document.push_back(',');
  document.push_back(draw.digits[2]);
  document.append("\" opentime=\"").append(draw.date).append(kDrawTime);
  document.append("\" trycode=\"\" tryinfo=\"\" />\n");
}

void Answer(httplib::Server& server, std::string_view path, std::string body,
            std::string content_type) {
  server.Get(std::string(path), [body = std::move(body), content_type = std::move(content_type)](
                                    const httplib::Request&, httplib::Response& response) {
    response.set_content(body, content_type.c_str());
  });
}

}  // namespace

std::string DrawListDocument(const std::vector<HistoryDraw>& draws) {
  std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<xml>\n";
  document.reserve(document.size() + draws.size() * 96 + 8);
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) AppendRow(document, *it);
  document.append("</xml>\n");
  return document;
}

std::string StartupPage(const std::vector<HistoryDraw>& draws) {
  return StartPage(draws, BeijingToday());
}

std::string_view StartupPagePath() { return ZELKOR_STARTUP_PATH; }
std::string_view VersionRecordPath() { return ZELKOR_VERSION_PATH; }

std::vector<HistoryDraw> Latest(std::vector<HistoryDraw> draws, size_t count) {
  if (draws.size() > count) {
    draws.erase(draws.begin(), draws.end() - static_cast<std::ptrdiff_t>(count));
  }
  return draws;
}

void AddRoutes(httplib::Server& server, const std::vector<HistoryDraw>& draws, RequestLog log) {
  Answer(server, kDrawListPath, DrawListDocument(draws), "text/xml; charset=utf-8");
  Answer(server, VersionRecordPath(), std::string(kVersionRecord), "text/plain");
  // The start-up page tells the newest draw's age: built again on a new day.
  server.Get(std::string(StartupPagePath()),
             [page = std::make_shared<TodaysStartPage>(draws)](const httplib::Request&,
                                                               httplib::Response& response) {
               response.set_content(*page->Page(), "text/html; charset=utf-8");
             });
  if (log) {
    server.set_logger(
        [log = std::move(log)](const httplib::Request& request, const httplib::Response& response) {
          log(request.method + " " + request.path + " " + std::to_string(response.status));
        });
  }
}

}  // namespace zelkor::service
