#include "draw_service/serve/draw_form.h"

#include <array>
#include <cstdio>
#include <random>
#include <utility>

#include "draw_service/serve/paths.h"
#include "draw_service/store/commands.h"
#include "runtime/markup.h"

namespace zelkor::service {
namespace {

bool FromOwnAddress(const httplib::Request& request, int port) {
  if (!request.has_header("Origin")) return true;
  const std::string header = request.get_header_value("Origin");
  std::string_view origin = header;
  if (origin.starts_with("http://127.0.0.1:")) {
    origin.remove_prefix(17);
  } else if (origin.starts_with("http://localhost:")) {
    origin.remove_prefix(17);
  } else {
    return false;
  }
  return origin == std::to_string(port);
}

// The page that tells what came of a post and goes back to the start page.
std::string OutcomePage(const CommandResult& result) {
  const std::string back(StartPagePath());
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
         "<meta http-equiv=\"refresh\" content=\"3;url=" +
         back + "\"><title>Zelkor3D</title></head>\n<body><p id=\"outcome\" data-exit=\"" +
         std::to_string(result.exit_code) + "\"><strong>" +
         (result.exit_code == kAdded ? "完成。" : "没有改动。") + "</strong></p>\n<pre>" +
         MarkupEscaped(result.message) + "</pre>\n<p><a href=\"" + back +
         "\">返回开始页</a>(3秒后自动返回)</p></body></html>\n";
}

}  // namespace

std::string_view DrawFormPath() { return "/zelkor3d/draws"; }

std::string NewFormToken() {
  std::random_device random;
  std::string token;
  for (int i = 0; i < 4; ++i) {
    std::array<char, 9> part{};
    std::snprintf(part.data(), part.size(), "%08x", static_cast<unsigned>(random()));
    token += part.data();
  }
  return token;
}

void AddDrawForm(httplib::Server& server, const DrawStore& store, std::string token, int port,
                 std::function<void()> refresh) {
  server.Post(
      std::string(DrawFormPath()),
      [&store, token = std::move(token), port, refresh = std::move(refresh)](
          const httplib::Request& request, httplib::Response& response) {
        const std::string action = request.get_param_value("action");
        if (token.empty() || request.get_param_value("token") != token ||
            !FromOwnAddress(request, port) || (action != "add" && action != "remove")) {
          response.status = 403;
          response.set_content(
              "<!DOCTYPE html>\n<p>这个请求不是来自开奖数据服务自己的开始页,什么也没有改动。</p>\n",
              "text/html; charset=utf-8");
          return;
        }
        const CommandResult result =
            action == "add"
                ? AddDraw(store, request.get_param_value("issue"),
                          request.get_param_value("digits"), request.get_param_value("date"))
                : RemoveDraw(store, request.get_param_value("issue"));
        if (refresh) refresh();
        response.set_content(OutcomePage(result), "text/html; charset=utf-8");
      });
}

}  // namespace zelkor::service
