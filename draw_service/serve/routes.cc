#include "draw_service/serve/routes.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "draws/draws.h"
#include "runtime/printable.h"

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

// What a mistyped or outdated address gets instead of an empty answer: a short
// page in the player's language that leads to the start page.
std::string NotFoundPage() {
  const std::string start(StartPagePath());
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
         "<title>找不到这个页面</title></head>\n<body style=\"font-family:sans-serif;"
         "margin:2em auto;max-width:36em;padding:0 1em\"><h1>找不到这个页面</h1>\n"
         "<p>这个地址上没有内容,可能是地址输错了。</p>\n<p><a href=\"" +
         start + "\">打开开始页</a>,查看最新开奖和各方法的预测。</p></body></html>\n";
}

}  // namespace

void AddRoutes(httplib::Server& server, const DocumentHolder& documents, Log log,
               std::function<void()> refresh) {
  Answer(server, kDrawListPath, documents, &ServedDocuments::draw_list, "text/xml; charset=utf-8",
         refresh);
  Answer(server, StartPagePath(), documents, &ServedDocuments::start_page,
         "text/html; charset=utf-8", refresh);
  // The bare address is where a player starts typing.
  server.Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(std::string(StartPagePath()));
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.status == 404) response.set_content(NotFoundPage(), "text/html; charset=utf-8");
  });
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
