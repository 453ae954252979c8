// An HTTP server on 127.0.0.1 for tests: it listens on an ephemeral port and
// serves from a thread of its own for as long as the object lives.
//
//   LoopbackServer server({{"/list.xml", LoopbackServer::Reply(document)}});
//   Bytes body = HttpFetch(server.Url("/list.xml"));
//
// Over TLS with a certificate the client is told to trust:
//
//   LoopbackServer server({...}, LoopbackServer::Scheme::kHttps);
//   FetchOptions options;
//   options.ca_file = TestAuthorityPemPath();
//   Bytes body = HttpFetchWith(server.Url("/list.xml"), options);
#pragma once

#include <httplib.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zelkor::test_support {

class LoopbackServer {
 public:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
  // kHttps serves over TLS with a certificate for 127.0.0.1 (common name and
  // IP subjectAltName) issued by the test authority (TestAuthorityPemPath),
  // which a client trusts only when told to. kHttpsSelfSigned serves with
  // a self-signed certificate made for the occasion, which no client trusts.
  enum class Scheme { kHttp, kHttps, kHttpsSelfSigned };

  // Serves a GET of each path (exact match, no query) with its handler; any
  // other path is answered with 404 and an empty body. Ready to accept
  // connections when the constructor returns; throws std::runtime_error when
  // no port could be had.
  explicit LoopbackServer(std::map<std::string, Handler> handlers, Scheme scheme = Scheme::kHttp);
  // Stops serving and waits for the server thread.
  ~LoopbackServer();

  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:<port>" (https for the TLS schemes) followed by `path`.
  [[nodiscard]] std::string Url(std::string_view path) const;
  // The path of every request received so far, in order of arrival.
  [[nodiscard]] std::vector<std::string> requested_paths() const;

  // A handler that answers with `body` (any bytes) and `status`.
  [[nodiscard]] static Handler Reply(std::string body, int status = 200,
                                     std::string content_type = "text/plain");
  // A handler that redirects to `location` with `status` (302 unless told).
  [[nodiscard]] static Handler Redirect(std::string location, int status = 302);

 private:
  void Dispatch(const httplib::Request& request, httplib::Response& response);

  std::map<std::string, Handler> handlers_;
  Scheme scheme_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = -1;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requested_paths_;
};

// The path of a PEM file holding the certificate of the test authority, the
// issuer of every kHttps server's certificate. The authority is made with a
// fresh key on first use, once per process, so no system store trusts it; the
// file is removed when the process ends. Throws std::runtime_error when the
// authority or its file cannot be made.
[[nodiscard]] const std::string& TestAuthorityPemPath();

}  // namespace zelkor::test_support
