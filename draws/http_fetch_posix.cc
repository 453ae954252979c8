#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "draws/draws.h"

namespace zelkor {
namespace {

using Clock = std::chrono::steady_clock;

// Once per process, before the first transfer; thread-safe through the static.
void InitCurlOnce() {
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;  // on failure curl_easy_init fails, and the fetch reports it
}

// Where received bytes go. Taking fewer bytes than offered makes curl abort
// the transfer, which is how bytes past kMaxInputBytes are dropped.
struct BodySink {
  Bytes body;
  bool cut = false;
};

size_t AppendBody(char* data, size_t size, size_t count, void* sink_pointer) {
  auto& sink = *static_cast<BodySink*>(sink_pointer);
  const size_t offered = size * count;
  const size_t taken = std::min(offered, kMaxInputBytes - sink.body.size());
  sink.body.append(data, taken);
  if (taken < offered) sink.cut = true;
  return taken;
}

// A bound as curl takes it. Zero would mean curl's own default connect
// time-out and no stall check at all, so the least is one second.
long BoundSeconds(std::chrono::seconds bound) { return std::max<long>(1, bound.count()); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != prefix[i]) return false;
  }
  return true;
}

std::string Seconds(long seconds) { return std::to_string(seconds) + " s"; }

// A header line that could end the request head early or add one of its own
// would let a caller's text rewrite the request.
bool IsHeaderLine(std::string_view header) {
  return header.find_first_of("\r\n") == std::string_view::npos && header.find(':') != 0 &&
         header.find(':') != std::string_view::npos;
}

// The name=value part of each Set-Cookie header of the answer just received.
void TakeCookies(CURL* easy, std::vector<std::string>& cookies) {
  size_t count = 1;
  for (size_t i = 0; i < count; ++i) {
    curl_header* header = nullptr;
    if (curl_easy_header(easy, "Set-Cookie", i, CURLH_HEADER, -1, &header) != CURLHE_OK) return;
    count = header->amount;
    const std::string_view value(header->value);
    const std::string_view pair = value.substr(0, value.find(';'));
    const size_t begin = pair.find_first_not_of(' ');
    if (begin != std::string_view::npos) {
      cookies.emplace_back(pair.substr(begin, pair.find_last_not_of(' ') + 1 - begin));
    }
  }
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The cause of a failed transfer in a few words.
std::string DescribeFailure(CURL* easy, CURLcode code, const char* detail, bool past_deadline,
                            const FetchOptions& options) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return "unknown host";
    case CURLE_COULDNT_CONNECT:
      return "connection refused";
    case CURLE_UNSUPPORTED_PROTOCOL:
      return "not an http or https address";
    case CURLE_URL_MALFORMAT:
      return "malformed address";
    case CURLE_OPERATION_TIMEDOUT: {
      if (past_deadline) return "timed out after " + Seconds(BoundSeconds(options.overall_timeout));
      curl_off_t connected = 0;
      (void)curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connected);
      if (connected == 0) {
        return "no connection within " + Seconds(BoundSeconds(options.connect_timeout));
      }
      return "nothing received for " + Seconds(BoundSeconds(options.stall_timeout));
    }
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return "the transfer broke off";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
      return std::string("TLS failure: ") + (*detail != '\0' ? detail : curl_easy_strerror(code));
    default:
      return *detail != '\0' ? std::string(detail) : std::string(curl_easy_strerror(code));
  }
}

}  // namespace

Bytes HttpFetch(const Text& address) { return HttpFetchWith(address, FetchOptions()); }

Bytes HttpFetchWith(const Text& address, const FetchOptions& options) {
  return FetchWithReason(address, options).body;
}

FetchResult FetchWithReason(const Text& address, const FetchOptions& options) {
  InitCurlOnce();
  FetchResult result;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) {
    result.failure = "the HTTP client could not be started";
    return result;
  }

  std::vector<std::string> lines = {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"};
  for (const std::string& header : options.headers) {
    if (!IsHeaderLine(header)) {
      result.failure = "malformed request header";
      return result;
    }
    lines.push_back(header);
  }
  std::unique_ptr<curl_slist, ListDeleter> headers;
  for (const std::string& header : lines) {
    curl_slist* longer = curl_slist_append(headers.get(), header.c_str());
    if (longer == nullptr) {
      result.failure = "out of memory";
      return result;
    }
    (void)headers.release();  // `longer` is the same list, one header longer
    headers.reset(longer);
  }

  char detail[CURL_ERROR_SIZE] = {};
  BodySink sink;
  CURL* const e = easy.get();
  curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  // One request per connection, as HTTP/1.0 implies. A server may close the
  // connection after answering even when its answer spoke of keep-alive;
  // reusing it for the next hop of a redirection would then find it dead.
  curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(e, CURLOPT_USERAGENT, options.user_agent.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  // Redirections are followed here, hop by hop, so that each hop can be
  // checked for a step down from https and all of them share one deadline.
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!options.ca_file.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, options.ca_file.c_str());
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, BoundSeconds(options.connect_timeout));
  // Less than one byte a second over the stall time: nothing at all arrived.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, BoundSeconds(options.stall_timeout));
  // No signals for time-outs: the fetch may run on any thread.
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, detail);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);

  const Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(BoundSeconds(options.overall_timeout));
  std::string url = address;
  for (int redirects = 0;; ++redirects) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      result.failure = "timed out after " + Seconds(BoundSeconds(options.overall_timeout));
      return result;
    }
    sink = BodySink();
    detail[0] = '\0';
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(left));
    const CURLcode code = curl_easy_perform(e);

    long status = 0;
    (void)curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    result.status = static_cast<int>(status);
    TakeCookies(e, result.cookies);
    const char* location = nullptr;
    (void)curl_easy_getinfo(e, CURLINFO_REDIRECT_URL, &location);
    if (code == CURLE_OK && status >= 300 && status < 400 && location != nullptr) {
      if (redirects == kMaxRedirects) {
        result.failure = "more than " + std::to_string(kMaxRedirects) + " redirections";
        return result;
      }
      // A step down from https would hand what was asked for in private to
      // anyone on the way.
      if (StartsWithNoCase(url, "https:") && !StartsWithNoCase(location, "https:")) {
        result.failure = "redirection from https to " + std::string(location) + " refused";
        return result;
      }
      url = location;
      continue;
    }

    // Whatever the outcome, the body is what arrived: nothing when no answer
    // came, the bytes so far when the transfer broke off, timed out or was cut
    // at kMaxInputBytes.
    result.body = std::move(sink.body);
    result.cut = sink.cut;
    if (sink.cut) {
      result.failure = "body cut at " + std::to_string(kMaxInputBytes >> 20) + " MiB";
    } else if (code != CURLE_OK) {
      // curl's clock and ours may differ by a hair at the deadline.
      const bool past_deadline = Clock::now() + std::chrono::milliseconds(50) >= deadline;
      result.failure = DescribeFailure(e, code, detail, past_deadline, options);
    } else if (status < 200 || status >= 300) {
      result.failure = "HTTP " + std::to_string(status);
    }
    return result;
  }
}

}  // namespace zelkor
