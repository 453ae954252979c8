#include "draw_service/serve/routes.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "draws/draws.h"
#include "runtime/printable.h"

#if !defined(ZELKOR_START_PAGE_PATH) || !defined(ZELKOR_VERSION_PATH)
#error "The draw service's paths must be set by the build"
#endif

namespace zelkor::service {
namespace {

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

std::string_view StartPagePath() { return ZELKOR_START_PAGE_PATH; }
std::string_view VersionRecordPath() { return ZELKOR_VERSION_PATH; }

void AddRoutes(httplib::Server& server, const DocumentHolder& documents, Log log,
               std::function<void()> refresh) {
  Answer(server, kDrawListPath, documents, &ServedDocuments::draw_list, "text/xml; charset=utf-8",
         refresh);
  Answer(server, StartPagePath(), documents, &ServedDocuments::start_page,
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
