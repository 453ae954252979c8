#include "draw_service/draw_service.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "draw_service/freshness.h"
#include "draw_service/start_page.h"
#include "runtime/printable.h"

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

// The route pattern that matches exactly `path` (routes are regular
// expressions, in which "." would match any character).
std::string ExactPattern(std::string_view path) {
  std::string pattern;
  for (const char c : path) {
    if (std::string_view(R"(\^$.|?*+()[]{})").find(c) != std::string_view::npos) {
      pattern.push_back('\\');
    }
    pattern.push_back(c);
  }
  return pattern;
}

// Answers GET `path` with the document `pick` chooses from the documents
// current when the request came, written from them without a copy.
void Answer(httplib::Server& server, std::string_view path, const DocumentHolder& documents,
            const std::string ServedDocuments::*pick, const char* content_type,
            const std::function<void()>& refresh) {
  server.Get(ExactPattern(path), [&documents, pick, content_type, refresh](
                                     const httplib::Request&, httplib::Response& response) {
    if (refresh) refresh();
    std::shared_ptr<const ServedDocuments> current = documents.Current();
    const std::string& body = (*current).*pick;
    response.set_content_provider(
        body.size(), content_type,
        [current, &body](size_t offset, size_t length, httplib::DataSink& sink) {
          return sink.write(body.data() + offset, std::min(length, body.size() - offset));
        });
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

size_t MaxServedDraws() {
  const HistoryDraw draw{"2026224", "2026-08-22", "862"};
  const size_t frame = DrawListDocument({}).size();
  const size_t row = DrawListDocument({draw}).size() - frame;
  return (kMaxDrawListBytes - frame) / row;
}

std::string StartupPage(const std::vector<HistoryDraw>& draws) {
  return StartupPage(draws, BeijingToday());
}

std::string StartupPage(const std::vector<HistoryDraw>& draws, std::chrono::sys_days today) {
  return StartPage(draws, today);
}

std::string_view StartupPagePath() { return ZELKOR_STARTUP_PATH; }
std::string_view VersionRecordPath() { return ZELKOR_VERSION_PATH; }

std::vector<HistoryDraw> Latest(std::vector<HistoryDraw> draws, size_t count) {
  if (draws.size() > count) {
    draws.erase(draws.begin(), draws.end() - static_cast<std::ptrdiff_t>(count));
  }
  return draws;
}

void AddRoutes(httplib::Server& server, const DocumentHolder& documents, RequestLog log,
               std::function<void()> refresh) {
  Answer(server, kDrawListPath, documents, &ServedDocuments::draw_list, "text/xml; charset=utf-8",
         refresh);
  Answer(server, StartupPagePath(), documents, &ServedDocuments::startup_page,
         "text/html; charset=utf-8", refresh);
  server.Get(ExactPattern(VersionRecordPath()),
             [](const httplib::Request&, httplib::Response& response) {
               response.set_content(std::string(kVersionRecord), "text/plain");
             });
  if (log) {
    server.set_logger(
        [log = std::move(log)](const httplib::Request& request, const httplib::Response& response) {
          log(PrintableCut(request.method, 16) + " " + PrintableCut(request.path, 200) + " " +
              std::to_string(response.status));
        });
  }
}

}  // namespace zelkor::service
