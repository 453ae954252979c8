#include "tests/support/loopback_server.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <chrono>
#include <stdexcept>
#include <utility>

namespace zelkor::test_support {
namespace {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};

// A TLS server with a fresh self-signed certificate for 127.0.0.1.
std::unique_ptr<httplib::Server> MakeSelfSignedServer() {
  std::unique_ptr<EVP_PKEY, KeyDeleter> key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
  std::unique_ptr<X509, CertificateDeleter> certificate(X509_new());
  if (!key || !certificate) throw std::runtime_error("LoopbackServer: cannot make a key");
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 86400);
  X509_set_pubkey(certificate.get(), key.get());
  X509_NAME* name = X509_get_subject_name(certificate.get());
  const unsigned char kCommonName[] = "127.0.0.1";
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, kCommonName, -1, -1, 0);
  X509_set_issuer_name(certificate.get(), name);
  if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0) {
    throw std::runtime_error("LoopbackServer: cannot sign a certificate");
  }
  // The server's TLS context takes its own references to both.
  auto server = std::make_unique<httplib::SSLServer>(certificate.get(), key.get());
  if (!server->is_valid()) throw std::runtime_error("LoopbackServer: cannot set up TLS");
  return server;
}

}  // namespace

LoopbackServer::LoopbackServer(std::map<std::string, Handler> handlers, Scheme scheme)
    : handlers_(std::move(handlers)),
      scheme_(scheme),
      server_(scheme == Scheme::kHttps ? MakeSelfSignedServer()
                                       : std::make_unique<httplib::Server>()) {
  // One catch-all route: the registered patterns are regular expressions,
  // and paths such as "/list10.xml" are meant literally.
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    Dispatch(request, response);
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ < 0) throw std::runtime_error("LoopbackServer: cannot bind a port on 127.0.0.1");
  // The socket already listens, so connections queue up from here on; waiting
  // for the loop to run makes sure stop() in the destructor reaches it.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
  server_->stop();
  thread_.join();
}

std::string LoopbackServer::Url(std::string_view path) const {
  const char* scheme = scheme_ == Scheme::kHttps ? "https" : "http";
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> LoopbackServer::requested_paths() const {
  std::lock_guard lock(mutex_);
  return requested_paths_;
}

void LoopbackServer::Dispatch(const httplib::Request& request, httplib::Response& response) {
  {
    std::lock_guard lock(mutex_);
    requested_paths_.push_back(request.path);
  }
  auto it = handlers_.find(request.path);
  if (it == handlers_.end()) {
    response.status = 404;
    return;
  }
  it->second(request, response);
}

LoopbackServer::Handler LoopbackServer::Reply(std::string body, int status,
                                              std::string content_type) {
  return [body = std::move(body), status, content_type = std::move(content_type)](
             const httplib::Request&, httplib::Response& response) {
    response.status = status;
    response.set_content(body, content_type);
  };
}

LoopbackServer::Handler LoopbackServer::Redirect(std::string location, int status) {
  return [location = std::move(location), status](const httplib::Request&,
                                                  httplib::Response& response) {
    response.set_redirect(location, status);
  };
}

}  // namespace zelkor::test_support
