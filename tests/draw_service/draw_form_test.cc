#include "draw_service/serve/draw_form.h"

#include "draw_service/serve/served_history.h"
#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST_F(StoreTest, TheFormChangesTheStoreOnlyForTheServicesOwnPage) {
  const DrawStore store = Store();
  DocumentHolder holder;
  ServedHistory served(store, holder, 0, nullptr, {"settings", "folder", "folder/store", "program"},
                       "secret");
  served.Refresh();
  httplib::Server server;
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  AddDrawForm(server, store, "secret", port, [&served] { served.Refresh(); });
  std::thread thread([&server] { server.listen_after_bind(); });
  httplib::Client client("127.0.0.1", port);
  const std::string own = "http://127.0.0.1:" + std::to_string(port);
  const std::string add = "action=add&issue=2026225&digits=123&date=2026-08-23";
  const auto post = [&](const std::string& body, const std::string& origin) {
    return client.Post(std::string(DrawFormPath()), {{"Origin", origin}}, body,
                       "application/x-www-form-urlencoded");
  };
  struct Case {
    std::string name;
    std::function<httplib::Result()> send;
    int status;
  };
  const Case refused[] = {
      {"no token", [&] { return post(add, own); }, 403},
      {"a wrong token", [&] { return post(add + "&token=secreT", own); }, 403},
      {"a foreign origin", [&] { return post(add + "&token=secret", "http://example.test"); }, 403},
      {"a GET",
       [&] { return client.Get(std::string(DrawFormPath()) + "?" + add + "&token=secret"); }, 404},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    const httplib::Result result = c.send();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    EXPECT_FALSE(std::filesystem::exists(folder_ / kStoreFileName));
  }

  httplib::Result result = post(add + "&token=secret", own);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_THAT(result->body, HasSubstr("已存入1期"));
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026225");
  EXPECT_THAT(holder.Current()->start_page, HasSubstr("name=\"issue\" value=\"2026225\">"))
      << "no button to remove the draw added";

  result = post("action=remove&issue=2026225&token=secret", own);
  ASSERT_TRUE(result);
  EXPECT_THAT(result->body, HasSubstr("已删去第2026225期"));
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026224");
  server.stop();
  thread.join();
}

}  // namespace
}  // namespace zelkor::service
