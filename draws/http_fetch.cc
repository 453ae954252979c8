#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "draws/draws.h"

namespace zelkor {
namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 10;
// Seconds to get connected, and seconds without a single byte received after
// which a transfer is given up.
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 60;

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

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

Bytes HttpFetch(const Text& address) {
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
  curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
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
