#include "tests/support/loopback_server.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
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
struct ExtensionDeleter {
  void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};
struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using Certificate = std::unique_ptr<X509, CertificateDeleter>;

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("LoopbackServer: ") + what);
}

Key NewKey() {
  Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
  if (!key) Fail("cannot make a key");
  return key;
}

// One X.509v3 extension in OpenSSL's configuration syntax, e.g.
// {NID_basic_constraints, "critical,CA:TRUE"}.
struct Extension {
  int nid;
  const char* value;
};

// A certificate for `common_name` and `key`, valid from an hour ago for a
// day, issued by `issuer` with `issuer_key` (a self-signed one when `issuer`
// is null).
Certificate Issue(const char* common_name, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuer_key,
                  std::initializer_list<Extension> extensions) {
  // Every certificate of a process gets a serial of its own.
  static std::atomic<long> next_serial{1};
  Certificate certificate(X509_new());
  if (!certificate) Fail("cannot make a certificate");
  X509* const c = certificate.get();
  X509_set_version(c, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(c), next_serial++);
  X509_gmtime_adj(X509_getm_notBefore(c), -3600);
  X509_gmtime_adj(X509_getm_notAfter(c), 86400);
  X509_set_pubkey(c, key);
  X509_NAME* name = X509_get_subject_name(c);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  X509_set_issuer_name(c, issuer != nullptr ? X509_get_subject_name(issuer) : name);

  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer != nullptr ? issuer : c, c, nullptr, nullptr, 0);
  for (const Extension& wanted : extensions) {
    std::unique_ptr<X509_EXTENSION, ExtensionDeleter> extension(
        X509V3_EXT_conf_nid(nullptr, &context, wanted.nid, wanted.value));
    if (!extension || X509_add_ext(c, extension.get(), -1) != 1) Fail("cannot add an extension");
  }
  if (X509_sign(c, issuer != nullptr ? issuer_key : key, EVP_sha256()) == 0) {
    Fail("cannot sign a certificate");
  }
  return certificate;
}

// The certificate authority of the kHttps servers, with its certificate
// written to a PEM file for clients to trust.
class TestAuthority {
 public:
  TestAuthority()
      : key_(NewKey()),
        certificate_(Issue("Zelkor3D test authority", key_.get(), nullptr, nullptr,
                           {{NID_basic_constraints, "critical,CA:TRUE"},
                            {NID_key_usage, "critical,keyCertSign,cRLSign"},
                            {NID_subject_key_identifier, "hash"}})) {
    std::string path = (std::filesystem::temp_directory_path() / "zelkor-test-ca-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0) Fail("cannot create the authority's file");
    std::unique_ptr<FILE, FileCloser> file(::fdopen(fd, "w"));
    if (!file) {
      ::close(fd);
      std::filesystem::remove(path);
      Fail("cannot open the authority's file");
    }
    pem_path_ = std::move(path);  // from here on the destructor removes it
    if (PEM_write_X509(file.get(), certificate_.get()) != 1 || std::fflush(file.get()) != 0) {
      Fail("cannot write the authority's file");
    }
  }
  ~TestAuthority() {
    std::error_code ignored;
    std::filesystem::remove(pem_path_, ignored);
  }

  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;

  [[nodiscard]] const std::string& pem_path() const { return pem_path_; }

  // A server certificate for 127.0.0.1 with `key`, issued by this authority.
  [[nodiscard]] Certificate IssueFor127001(EVP_PKEY* key) const {
    return Issue("127.0.0.1", key, certificate_.get(), key_.get(),
                 {{NID_basic_constraints, "critical,CA:FALSE"},
                  {NID_key_usage, "critical,digitalSignature"},
                  {NID_ext_key_usage, "serverAuth"},
                  {NID_subject_alt_name, "IP:127.0.0.1"},
                  {NID_subject_key_identifier, "hash"},
                  {NID_authority_key_identifier, "keyid:always"}});
  }

 private:
  Key key_;
  Certificate certificate_;
  std::string pem_path_;
};

const TestAuthority& Authority() {
  static const TestAuthority authority;
  return authority;
}

std::unique_ptr<httplib::Server> MakeServer(LoopbackServer::Scheme scheme) {
  if (scheme == LoopbackServer::Scheme::kHttp) return std::make_unique<httplib::Server>();
  const Key key = NewKey();
  const Certificate certificate = scheme == LoopbackServer::Scheme::kHttps
                                      ? Authority().IssueFor127001(key.get())
                                      : Issue("127.0.0.1", key.get(), nullptr, nullptr, {});
  // The server's TLS context takes its own references to both.
  auto server = std::make_unique<httplib::SSLServer>(certificate.get(), key.get());
  if (!server->is_valid()) Fail("cannot set up TLS");
  return server;
}

}  // namespace

const std::string& TestAuthorityPemPath() { return Authority().pem_path(); }

LoopbackServer::LoopbackServer(std::map<std::string, Handler> handlers, Scheme scheme)
    : handlers_(std::move(handlers)), scheme_(scheme), server_(MakeServer(scheme)) {
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
  const char* scheme = scheme_ == Scheme::kHttp ? "http" : "https";
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
