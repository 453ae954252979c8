#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "draws/draws.h"
#include "tests/draws/fetch_implementations.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace zelkor {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test_support::LoopbackServer;
using test_support::RawServer;
using test_support::RefusingPort;
using test_support::SilentServer;
using test_support::TestAuthorityPemPath;
using ::testing::IsEmpty;

// The HttpFetch contract, one suite for every implementation. Within the
// tests, HttpFetch, HttpFetchWith and FetchWithReason are the
// implementation's under test.
class HttpFetchTest : public ::testing::TestWithParam<test_support::FetchImplementation> {
 protected:
  FetchResult FetchWithReason(const Text& address, const FetchOptions& options) const {
    return GetParam().fetch(address, options);
  }
  Bytes HttpFetchWith(const Text& address, const FetchOptions& options) const {
    return FetchWithReason(address, options).body;
  }
  Bytes HttpFetch(const Text& address) const { return HttpFetchWith(address, FetchOptions()); }

  // Fetches with a deadline of 2 s, and checks that the fetch ended at the
  // deadline, neither before it nor long after, and said so.
  FetchResult FetchUntilTheDeadline(const Text& address) const {
    FetchOptions options;
    options.overall_timeout = std::chrono::seconds(2);
    const auto start = std::chrono::steady_clock::now();
    FetchResult result = FetchWithReason(address, options);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(1900)) << address;
    EXPECT_LE(elapsed, std::chrono::seconds(5)) << address;
    EXPECT_EQ(result.failure, "timed out after 2 s") << address;
    return result;
  }
};

// The lines of a request head, without their CR LF and without the empty
// line that ends the head.
std::vector<std::string> HeadLines(const std::string& head) {
  std::vector<std::string> lines;
  std::istringstream in(head);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST_P(HttpFetchTest, SendsAnHttp10GetWithTheFixedHeaders) {
  RawServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
  EXPECT_EQ(HttpFetch(server.Url("/static/info/list10.xml?x=1")), "ok");

  ASSERT_EQ(server.requests().size(), 1u);
  const std::string head = server.requests()[0];
  EXPECT_TRUE(head.starts_with("GET /static/info/list10.xml?x=1 HTTP/1.0\r\n")) << head;
  EXPECT_TRUE(head.ends_with("\r\n\r\n")) << head;
  std::vector<std::string> headers = HeadLines(head);
  headers.erase(headers.begin());
  EXPECT_THAT(headers, ::testing::UnorderedElementsAre(
                           "Host: 127.0.0.1:" + std::to_string(server.port()),
                           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                           "Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"));
}

TEST_P(HttpFetchTest, SendsASourcesHeadersAndTellsStatusAndCookies) {
  const std::string ok = "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok";
  struct Case {
    std::string name;
    std::string answer;
    std::vector<std::string> headers;
    std::string user_agent;  // empty for the default
    int status;
    std::string failure;
    std::vector<std::string> cookies;
  };
  const Case cases[] = {
      {"a source's headers",
       ok,
       {"Referer: https://www.cwl.gov.cn/ygkj/wqkjgg/3d/", "Cookie: HMF_CI=7a1f9; 21_vq=3"},
       "Mozilla/5.0 (Windows NT 10.0; Win64; x64) Zelkor3D/1.0",
       200,
       "",
       {}},
      {"cookies set",
       "HTTP/1.0 200 OK\r\nSet-Cookie: HMF_CI=7a1f9; Path=/; HttpOnly\r\n"
       "Set-Cookie: 21_vq=3\r\nContent-Length: 2\r\n\r\nok",
       {},
       "",
       200,
       "",
       {"HMF_CI=7a1f9", "21_vq=3"}},
      {"forbidden",
       "HTTP/1.0 403 Forbidden\r\nContent-Length: 0\r\n\r\n",
       {},
       "",
       403,
       "HTTP 403",
       {}},
      {"a status of the source's own",
       "HTTP/1.0 567 Unknown\r\nContent-Length: 0\r\n\r\n",
       {},
       "",
       567,
       "HTTP 567",
       {}},
      {"a header with a line break",
       ok,
       {"Referer: /\r\nHost: elsewhere"},
       "",
       0,
       "malformed request header",
       {}},
  };
  for (const Case& c : cases) {
    RawServer server(c.answer);
    FetchOptions options;
    options.headers = c.headers;
    if (!c.user_agent.empty()) options.user_agent = c.user_agent;
    const FetchResult result = FetchWithReason(server.Url("/x"), options);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.failure, c.failure) << c.name;
    EXPECT_EQ(result.cookies, c.cookies) << c.name;
    if (c.status == 0) {
      EXPECT_EQ(server.connection_count(), 0) << c.name;
      continue;
    }
    ASSERT_EQ(server.requests().size(), 1u) << c.name;
    const std::vector<std::string> lines = HeadLines(server.requests()[0]);
    EXPECT_THAT(lines, ::testing::Contains("User-Agent: " +
                                           (c.user_agent.empty() ? kUserAgent : c.user_agent)))
        << c.name;
    for (const std::string& header : c.headers) {
      EXPECT_THAT(lines, ::testing::Contains(header)) << c.name;
    }
  }
}

TEST_P(HttpFetchTest, ReturnsTheBodyOfAnErrorStatus) {
  LoopbackServer server({{"/list.xml", LoopbackServer::Reply("<h1>Not Found</h1>", 404)}});
  EXPECT_EQ(HttpFetch(server.Url("/list.xml")), "<h1>Not Found</h1>");
}

TEST_P(HttpFetchTest, FollowsRedirects) {
  LoopbackServer target({{"/list.xml", LoopbackServer::Reply("the list")}});
  LoopbackServer server({
      {"/old", LoopbackServer::Redirect("/older", 301)},
      {"/older", LoopbackServer::Redirect(target.Url("/list.xml"), 302)},
  });
  EXPECT_EQ(HttpFetch(server.Url("/old")), "the list");
  EXPECT_EQ(server.requested_paths(), (std::vector<std::string>{"/old", "/older"}));
  EXPECT_EQ(target.requested_paths(), std::vector<std::string>{"/list.xml"});
}

TEST_P(HttpFetchTest, GivesUpAnEndlessRedirectLoop) {
  LoopbackServer server({{"/loop", LoopbackServer::Redirect("/loop")}});
  EXPECT_THAT(HttpFetch(server.Url("/loop")), IsEmpty());
  // The first request and ten redirections.
  EXPECT_EQ(server.requested_paths().size(), 11u);
}

TEST_P(HttpFetchTest, SendsEachRequestOnAConnectionOfItsOwn) {
  // A server that keeps connections alive and may yet close one at any time:
  // reusing them would make each hop of a redirection chain a gamble.
  RawServer server("HTTP/1.1 302 Found\r\nLocation: /again\r\nContent-Length: 0\r\n\r\n",
                   RawServer::Connections::kKeepOpen);
  EXPECT_THAT(HttpFetch(server.Url("/first")), IsEmpty());
  EXPECT_EQ(server.requests().size(), 11u);
  // WinINet keeps a connection the server keeps alive, whatever the
  // request's HTTP version, and opens another when a kept one turns out closed.
  if (GetParam().one_request_per_connection) {
    EXPECT_EQ(server.connection_count(), 11);
  }
}

TEST_P(HttpFetchTest, DoesNotFollowARedirectToAnotherScheme) {
  for (const char* scheme : {"ftp", "gopher", "telnet", "dict"}) {
    RawServer other("");  // would see the connection if the redirect were followed
    const std::string location =
        std::string(scheme) + "://127.0.0.1:" + std::to_string(other.port()) + "/x";
    LoopbackServer server({{"/r", LoopbackServer::Redirect(location)}});

    EXPECT_THAT(HttpFetch(server.Url("/r")), IsEmpty()) << scheme;
    EXPECT_EQ(other.connection_count(), 0) << scheme;
  }
}

TEST_P(HttpFetchTest, DoesNotFollowARedirectToALocalFile) {
  LoopbackServer server({{"/r", LoopbackServer::Redirect("file:///etc/passwd")}});
  EXPECT_THAT(HttpFetch(server.Url("/r")), IsEmpty());
}

TEST_P(HttpFetchTest, FetchesOnlyHttpAndHttpsAddresses) {
  RawServer other("220 hello\r\n");
  EXPECT_THAT(HttpFetch("ftp://127.0.0.1:" + std::to_string(other.port()) + "/x"), IsEmpty());
  EXPECT_THAT(HttpFetch("file:///etc/passwd"), IsEmpty());
  EXPECT_EQ(other.connection_count(), 0);
}

TEST_P(HttpFetchTest, KeepsZeroBytes) {
  const std::string body("<row\0 expect=\"1\"\0", 17);
  LoopbackServer server({{"/z", LoopbackServer::Reply(body)}});
  const Bytes fetched = HttpFetch(server.Url("/z"));
  EXPECT_EQ(fetched.size(), 17u);
  EXPECT_EQ(fetched, body);
}

TEST_P(HttpFetchTest, KeepsTheBytesOfATransferCutShort) {
  RawServer server("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n<row expect=\"2024");
  EXPECT_EQ(HttpFetch(server.Url("/list.xml")), "<row expect=\"2024");
}

TEST_P(HttpFetchTest, TransferCutBeforeTheBodyGivesNothing) {
  RawServer server("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n");
  EXPECT_THAT(HttpFetch(server.Url("/list.xml")), IsEmpty());
}

TEST_P(HttpFetchTest, KeepsAtMostTheFirst64MiB) {
  const size_t sent = kMaxInputBytes + (1 << 20);
  auto byte_at = [](size_t offset) { return static_cast<char>('a' + offset % 23); };
  LoopbackServer server({{"/big", [&](const httplib::Request&, httplib::Response& response) {
                            response.set_content_provider(
                                sent, "application/octet-stream",
                                [&](size_t offset, size_t length, httplib::DataSink& sink) {
                                  std::string chunk(std::min<size_t>(length, 1 << 16), '\0');
                                  for (size_t i = 0; i < chunk.size(); ++i) {
                                    chunk[i] = byte_at(offset + i);
                                  }
                                  return sink.write(chunk.data(), chunk.size());
                                });
                          }}});
  const FetchResult result = FetchWithReason(server.Url("/big"), FetchOptions());
  EXPECT_TRUE(result.cut);
  EXPECT_EQ(result.failure, "body cut at 64 MiB");
  const Bytes& fetched = result.body;
  ASSERT_EQ(fetched.size(), kMaxInputBytes);
  for (size_t offset : {size_t{0}, size_t{1}, kMaxInputBytes / 2, kMaxInputBytes - 1}) {
    EXPECT_EQ(fetched[offset], byte_at(offset)) << offset;
  }
}

TEST_P(HttpFetchTest, RefusedConnectionGivesNothing) {
  RefusingPort refusing;
  EXPECT_THAT(HttpFetch(refusing.Url("/list.xml")), IsEmpty());
}

TEST_P(HttpFetchTest, UnknownHostGivesNothing) {
  EXPECT_THAT(HttpFetch("http://draws.zelkor3d.invalid/list.xml"), IsEmpty());
}

TEST_P(HttpFetchTest, MalformedAddressGivesNothing) {
  EXPECT_THAT(HttpFetch(""), IsEmpty());
  EXPECT_THAT(HttpFetch("http://"), IsEmpty());
}

TEST_P(HttpFetchTest, GivesUpAServerThatNeverAnswersAfterTheStallTime) {
  SilentServer server;
  FetchOptions options;
  options.stall_timeout = seconds(1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THAT(HttpFetchWith(server.Url("/list.xml"), options), IsEmpty());
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(server.connection_count(), 1);
  // It waited for the stall time, and not much longer.
  EXPECT_GE(elapsed, milliseconds(900));
  EXPECT_LE(elapsed, seconds(5));
}

TEST_P(HttpFetchTest, KeepsWhatATricklingServerSentByTheDeadline) {
  // A byte every 100 ms never trips the stall bound; only the deadline ends it.
  RawServer server("HTTP/1.0 200 OK\r\nContent-Length: 999999\r\n\r\n" + std::string(999, '7'),
                   RawServer::Connections::kOneAnswer, milliseconds(100));
  const FetchResult result = FetchUntilTheDeadline(server.Url("/list.xml"));
  EXPECT_GE(result.body.size(), 5u);
  EXPECT_LE(result.body.size(), 25u);
  EXPECT_EQ(result.body, std::string(result.body.size(), '7'));
}

TEST_P(HttpFetchTest, KeepsTheDeadlineWhileTheHeadTrickles) {
  // Every byte comes well inside the stall bound, and the head never ends.
  RawServer server("HTTP/1.0 200 OK\r\nX-Slow: " + std::string(999, 'z'),
                   RawServer::Connections::kOneAnswer, milliseconds(100));
  const FetchResult result = FetchUntilTheDeadline(server.Url("/list.xml"));
  EXPECT_THAT(result.body, IsEmpty());
}

TEST_P(HttpFetchTest, OneDeadlineCoversEveryRedirection) {
  // Each hop alone is well inside the stall bound; together they are not.
  LoopbackServer server({{"/hop", [](const httplib::Request&, httplib::Response& response) {
                            std::this_thread::sleep_for(milliseconds(700));
                            response.set_redirect("/hop");
                          }}});
  const FetchResult result = FetchUntilTheDeadline(server.Url("/hop"));
  EXPECT_THAT(result.body, IsEmpty());
  EXPECT_LE(server.requested_paths().size(), 3u);
}

TEST_P(HttpFetchTest, RefusesARedirectionFromHttpsDownToHttp) {
  if (!GetParam().reads_ca_file) GTEST_SKIP() << "needs a server trusted through ca_file";
  LoopbackServer secure_target({{"/list.xml", LoopbackServer::Reply("the list")}},
                               LoopbackServer::Scheme::kHttps);
  LoopbackServer plain({{"/list.xml", LoopbackServer::Reply("the list")}});
  LoopbackServer secure({{"/down", LoopbackServer::Redirect(plain.Url("/list.xml"))},
                         {"/across", LoopbackServer::Redirect(secure_target.Url("/list.xml"))}},
                        LoopbackServer::Scheme::kHttps);
  LoopbackServer upgrading({{"/up", LoopbackServer::Redirect(secure.Url("/down"))}});
  FetchOptions options;
  options.ca_file = TestAuthorityPemPath();

  EXPECT_EQ(HttpFetchWith(secure.Url("/across"), options), "the list");
  for (const std::string& address : {secure.Url("/down"), upgrading.Url("/up")}) {
    const FetchResult result = FetchWithReason(address, options);
    EXPECT_THAT(result.body, IsEmpty()) << address;
    EXPECT_EQ(result.failure, "redirection from https to " + plain.Url("/list.xml") + " refused");
  }
  EXPECT_THAT(plain.requested_paths(), IsEmpty());
}

TEST_P(HttpFetchTest, NamesTheCauseOfAFailure) {
  RefusingPort refusing;
  RawServer cut_short("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n<row");
  LoopbackServer server({{"/list.xml", LoopbackServer::Reply("the list")},
                         {"/gone", LoopbackServer::Reply("not here", 404)},
                         {"/loop", LoopbackServer::Redirect("/loop")}});
  struct Case {
    std::string address;
    std::string failure;
    std::string body;
  };
  const Case cases[] = {
      {server.Url("/list.xml"), "", "the list"},
      {server.Url("/gone"), "HTTP 404", "not here"},
      {server.Url("/loop"), "more than 10 redirections", ""},
      {cut_short.Url("/list.xml"), "the transfer broke off", "<row"},
      {refusing.Url("/list.xml"), "connection refused", ""},
      {"http://draws.zelkor3d.invalid/list.xml", "unknown host", ""},
      {"ftp://127.0.0.1/x", "not an http or https address", ""},
  };
  for (const Case& c : cases) {
    const FetchResult result = FetchWithReason(c.address, FetchOptions());
    EXPECT_EQ(result.failure, c.failure) << c.address;
    EXPECT_EQ(result.body, c.body) << c.address;
    EXPECT_FALSE(result.cut) << c.address;
  }
}

TEST_P(HttpFetchTest, CaFileAddsTrustButKeepsVerification) {
  if (!GetParam().reads_ca_file) GTEST_SKIP() << "needs a server trusted through ca_file";
  struct Case {
    const char* name;
    LoopbackServer::Scheme scheme;
    std::string host;  // as the address names the server
    bool ca_file_exists;
    bool fetched;
  };
  const Case cases[] = {
      {"issued by the authority", LoopbackServer::Scheme::kHttps, "127.0.0.1", true, true},
      {"self-signed", LoopbackServer::Scheme::kHttpsSelfSigned, "127.0.0.1", true, false},
      // The certificate names 127.0.0.1 only.
      {"another name", LoopbackServer::Scheme::kHttps, "localhost", true, false},
      {"no such file", LoopbackServer::Scheme::kHttps, "127.0.0.1", false, false},
  };
  for (const Case& c : cases) {
    LoopbackServer server({{"/list.xml", LoopbackServer::Reply("the list")}}, c.scheme);
    FetchOptions options;
    options.ca_file = c.ca_file_exists ? TestAuthorityPemPath() : TestAuthorityPemPath() + ".none";
    const std::string address =
        "https://" + c.host + ":" + std::to_string(server.port()) + "/list.xml";

    EXPECT_EQ(HttpFetchWith(address, options), c.fetched ? "the list" : "") << c.name;
    EXPECT_EQ(server.requested_paths().size(), c.fetched ? 1u : 0u) << c.name;
  }
}

TEST_P(HttpFetchTest, RefusesAnUntrustedCertificate) {
  LoopbackServer server({{"/list.xml", LoopbackServer::Reply("the list")}},
                        LoopbackServer::Scheme::kHttps);
  EXPECT_THAT(HttpFetch(server.Url("/list.xml")), IsEmpty());
  EXPECT_THAT(server.requested_paths(), IsEmpty());
}

std::string ImplementationName(
    const ::testing::TestParamInfo<test_support::FetchImplementation>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(ThisBuild, HttpFetchTest,
                         ::testing::ValuesIn(test_support::ThisBuildsFetch()), ImplementationName);
// Empty unless the Windows build's fetch is named (tests/windows/ does).
INSTANTIATE_TEST_SUITE_P(WinInet, HttpFetchTest,
                         ::testing::ValuesIn(test_support::WindowsBuildsFetch()),
                         ImplementationName);

}  // namespace
}  // namespace zelkor
