#include "tests/support/loopback_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelkor::test_support {
namespace {

TEST(LoopbackServerTest, ServesEachPathWithItsHandler) {
  LoopbackServer server({
      {"/list10.xml", LoopbackServer::Reply("rows")},
      {"/gone", LoopbackServer::Reply("not here", 410)},
  });
  httplib::Client client("127.0.0.1", server.port());

  auto found = client.Get("/list10.xml");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->status, 200);
  EXPECT_EQ(found->body, "rows");

  auto gone = client.Get("/gone");
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->status, 410);
  EXPECT_EQ(gone->body, "not here");
}

TEST(LoopbackServerTest, PathsAreMatchedLiterallyAndUnknownOnesGet404) {
  // "." in a registered path must not match any character.
  LoopbackServer server({{"/a.xml", LoopbackServer::Reply("yes")}});
  httplib::Client client("127.0.0.1", server.port());

  auto other = client.Get("/aXxml");
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 404);
  EXPECT_EQ(other->body, "");
}

TEST(LoopbackServerTest, RecordsRequestedPathsInOrder) {
  LoopbackServer server({{"/one", LoopbackServer::Reply("1")}});
  httplib::Client client("127.0.0.1", server.port());
  ASSERT_TRUE(client.Get("/one"));
  ASSERT_TRUE(client.Get("/two"));
  ASSERT_TRUE(client.Get("/one"));

  EXPECT_EQ(server.requested_paths(), (std::vector<std::string>{"/one", "/two", "/one"}));
}

TEST(LoopbackServerTest, ReplyKeepsZeroBytes) {
  const std::string body("a\0b", 3);
  LoopbackServer server({{"/z", LoopbackServer::Reply(body)}});
  httplib::Client client("127.0.0.1", server.port());

  auto answer = client.Get("/z");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->body, body);
}

TEST(LoopbackServerTest, RedirectAnswersWithLocation) {
  LoopbackServer server({{"/old", LoopbackServer::Redirect("/new", 301)}});
  httplib::Client client("127.0.0.1", server.port());

  auto answer = client.Get("/old");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 301);
  EXPECT_EQ(answer->get_header_value("Location"), "/new");
}

TEST(LoopbackServerTest, TlsCertificatesVerifyOnlyAgainstTheirIssuer) {
  // A verifying client that trusts the test authority, one that trusts only
  // the system store, and one that does not verify at all.
  enum class Client { kTrustsTestAuthority, kTrustsSystem, kVerifiesNothing };
  struct Case {
    LoopbackServer::Scheme scheme;
    Client client;
    bool answered;
  };
  const Case cases[] = {
      {LoopbackServer::Scheme::kHttps, Client::kTrustsTestAuthority, true},
      {LoopbackServer::Scheme::kHttps, Client::kTrustsSystem, false},
      {LoopbackServer::Scheme::kHttps, Client::kVerifiesNothing, true},
      {LoopbackServer::Scheme::kHttpsSelfSigned, Client::kTrustsTestAuthority, false},
      {LoopbackServer::Scheme::kHttpsSelfSigned, Client::kVerifiesNothing, true},
  };
  for (const Case& c : cases) {
    const int index = static_cast<int>(&c - cases);
    LoopbackServer server({{"/s", LoopbackServer::Reply("secret")}}, c.scheme);
    EXPECT_EQ(server.Url("/s"), "https://127.0.0.1:" + std::to_string(server.port()) + "/s");

    httplib::SSLClient client("127.0.0.1", server.port());
    client.enable_server_certificate_verification(c.client != Client::kVerifiesNothing);
    if (c.client == Client::kTrustsTestAuthority) client.set_ca_cert_path(TestAuthorityPemPath());
    auto answer = client.Get("/s");
    ASSERT_EQ(static_cast<bool>(answer), c.answered) << index;
    if (answer) {
      EXPECT_EQ(answer->body, "secret") << index;
    }
  }
}

TEST(LoopbackServerTest, UrlNamesLoopbackAndPort) {
  LoopbackServer server({});
  EXPECT_GT(server.port(), 0);
  EXPECT_EQ(server.Url("/x"), "http://127.0.0.1:" + std::to_string(server.port()) + "/x");
}

}  // namespace
}  // namespace zelkor::test_support
