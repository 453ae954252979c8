#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "draws/draws.h"

namespace zelkor {
namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 10;

// Once per process, before the first transfer; thread-safe through the static.
void InitCurlOnce() {
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;  // on failure curl_easy_init fails, and the fetch gives an empty body
}

// Appends received bytes to the body (a Bytes). Taking fewer bytes than
// offered makes curl abort the transfer, which is how bytes past
// kMaxBodyBytes are dropped.
size_t AppendBody(char* data, size_t size, size_t count, void* body_pointer) {
  auto& body = *static_cast<Bytes*>(body_pointer);
  const size_t offered = size * count;
  const size_t taken = std::min(offered, kMaxBodyBytes - body.size());
  body.append(data, taken);
  return taken;
}

// A bound in whole seconds as curl takes it. Zero would mean curl's own
// default connect time-out and no stall check at all, so the least is one.
long BoundSeconds(std::chrono::seconds bound) { return std::max<long>(1, bound.count()); }

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

Bytes HttpFetch(const Text& address) { return HttpFetchWith(address, FetchOptions()); }

Bytes HttpFetchWith(const Text& address, const FetchOptions& options) {
  InitCurlOnce();
  Bytes body;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) return body;

  std::unique_ptr<curl_slist, ListDeleter> headers;
  for (const char* header : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"}) {
    curl_slist* longer = curl_slist_append(headers.get(), header);
    if (longer == nullptr) return body;
    (void)headers.release();  // `longer` is the same list, one header longer
    headers.reset(longer);
  }

  CURL* const e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, address.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  // One request per connection, as HTTP/1.0 implies. A server may close the
  // connection after answering even when its answer spoke of keep-alive; curl
  // reusing it for the next hop of a redirection would then find it dead and
  // spend one of its few retries, and a chain of such hops would fail.
  curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!options.ca_file.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, options.ca_file.c_str());
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, BoundSeconds(options.connect_timeout));
  // Less than one byte a second over the stall time: nothing at all arrived.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, BoundSeconds(options.stall_timeout));
  // No signals for time-outs: the fetch may run on any thread.
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);

  // Whatever the outcome, the body is what arrived: nothing when no answer
  // came, the bytes so far when the transfer broke off or was cut at
  // kMaxBodyBytes. The status code is not looked at.
  (void)curl_easy_perform(e);
  return body;
}

}  // namespace zelkor
