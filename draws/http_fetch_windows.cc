// HttpFetch on Windows, through WinINet: the system's HTTP client, with the
// proxy settings and certificate store the user has set up for Windows. The
// same contract as the libcurl fetch on Linux (draws/http_fetch_posix.cc): one
// HTTP/1.0 GET per hop, no cache, at most ten redirections and never from
// https down to http, certificates verified, the body whatever the status,
// partial bodies kept, at most kMaxInputBytes, and three time bounds.
//
// WinINet follows redirections on its own, but would then take any of them;
// here every hop is made by hand so that each one can be checked first.
//
// Certificates are verified against the authorities Windows trusts.
// FetchOptions::ca_file is not read: WinINet has no way to trust other
// authorities for one request, and a request is sent in the same call that
// checks the certificate, so checking it afterwards would come too late.
#include <windows.h>
// After windows.h, which it builds on.
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "draws/draws.h"
#include "runtime/wide_text.h"

namespace zelkor {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr DWORD kReadChunk = 1 << 16;

struct HandleCloser {
  void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A bound as WinINet takes it, in milliseconds: at least one second, as on
// Linux, and never past the overall deadline.
DWORD BoundMillis(seconds bound, Clock::time_point deadline) {
  const milliseconds left =
      std::max(milliseconds(1), std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
  return static_cast<DWORD>(std::min(milliseconds(std::max(bound, seconds(1))), left).count());
}

void SetBound(HINTERNET handle, DWORD option, DWORD millis) {
  InternetSetOptionW(handle, option, &millis, sizeof millis);
}

// An http or https address taken apart.
struct Address {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path;  // with the query, as sent on the request line
};

std::optional<Address> ParseAddress(const std::wstring& url) {
  wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  std::wstring path(url.size() + 1, L'\0');
  std::wstring extra(url.size() + 1, L'\0');
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (url.empty() || !InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return std::nullopt;
  }
  Address address;
  address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  address.host.assign(host, parts.dwHostNameLength);
  address.port = parts.nPort;
  address.path.assign(path.data(), parts.dwUrlPathLength);
  address.path.append(extra.data(), parts.dwExtraInfoLength);
  if (address.path.empty()) address.path = L"/";
  if (address.host.empty()) return std::nullopt;
  return address;
}

// The address a Location header names, relative to `base`.
std::wstring ResolveLocation(const std::wstring& base, const std::wstring& location) {
  DWORD size = static_cast<DWORD>(base.size() + location.size() + 64);
  std::wstring combined(size, L'\0');
  if (!InternetCombineUrlW(base.c_str(), location.c_str(), combined.data(), &size, ICU_NO_ENCODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    combined.assign(size + 1, L'\0');
    if (!InternetCombineUrlW(base.c_str(), location.c_str(), combined.data(), &size,
                             ICU_NO_ENCODE)) {
      return {};
    }
  }
  combined.resize(size);
  return combined;
}

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
  return text.size() >= prefix.size() &&
         CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                              static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::wstring> Header(HINTERNET request, DWORD query) {
  DWORD size = 0;
  if (HttpQueryInfoW(request, query, nullptr, &size, nullptr) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!HttpQueryInfoW(request, query, value.data(), &size, nullptr)) return std::nullopt;
  value.resize(size / sizeof(wchar_t));
  return value;
}

// A header line that could end the request head early or add one of its own
// would let a caller's text rewrite the request.
bool IsHeaderLine(std::string_view header) {
  return header.find_first_of("\r\n") == std::string_view::npos && header.find(':') != 0 &&
         header.find(':') != std::string_view::npos;
}

// The name=value part of each Set-Cookie header of `request`'s answer.
void TakeCookies(HINTERNET request, std::vector<std::string>& cookies) {
  for (DWORD index = 0;;) {
    const DWORD asked = index;
    DWORD size = 0;
    if (HttpQueryInfoW(request, HTTP_QUERY_SET_COOKIE, nullptr, &size, &index) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      return;
    }
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    index = asked;
    if (!HttpQueryInfoW(request, HTTP_QUERY_SET_COOKIE, value.data(), &size, &index)) return;
    value.resize(size / sizeof(wchar_t));
    const std::wstring_view pair = std::wstring_view(value).substr(0, value.find(L';'));
    const size_t begin = pair.find_first_not_of(L' ');
    if (begin != std::wstring_view::npos) {
      cookies.push_back(WideToUtf8(pair.substr(begin, pair.find_last_not_of(L' ') + 1 - begin)));
    }
    if (index == asked) return;  // WinINet moved on to no next one
  }
}

std::string Seconds(seconds bound) {
  return std::to_string(std::max(bound, seconds(1)).count()) + " s";
}

// The cause of a failed WinINet call in a few words, the Linux fetch's words.
std::string DescribeFailure(DWORD error, bool past_deadline, const FetchOptions& options) {
  if (past_deadline) return "timed out after " + Seconds(options.overall_timeout);
  switch (error) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return "unknown host";
    case ERROR_INTERNET_CANNOT_CONNECT:
      return "connection refused";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return "not an http or https address";
    case ERROR_INTERNET_INVALID_URL:
      return "malformed address";
    case ERROR_INTERNET_TIMEOUT:
      // WinINet does not tell a connection that never came from an answer
      // that never came; both are bounded.
      return "nothing received for " + Seconds(options.stall_timeout);
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      return "the transfer broke off";
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
      return "TLS failure: the certificate names another host";
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
      return "TLS failure: the certificate has expired or is not yet valid";
    case ERROR_INTERNET_INVALID_CA:
      return "TLS failure: the certificate's issuer is not trusted";
    case ERROR_INTERNET_SEC_CERT_REVOKED:
      return "TLS failure: the certificate was revoked";
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
      return "TLS failure: the certificate's revocation could not be checked";
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
      return "TLS failure: the secure connection failed";
    default:
      return "WinINet error " + std::to_string(error);
  }
}

// What a fetch on its worker thread has brought so far. The body grows as
// bytes arrive, so that whatever arrived by the deadline can be handed out.
struct Progress {
  std::mutex mutex;
  std::condition_variable finished_signal;
  bool finished = false;
  // The caller has gone at the deadline; nothing more is wanted.
  bool abandoned = false;
  FetchResult result;
};

// Appends received bytes, at most up to kMaxInputBytes; false when the body
// was cut there or the caller has gone.
bool Append(Progress& progress, std::string_view bytes) {
  std::lock_guard lock(progress.mutex);
  if (progress.abandoned) return false;
  FetchResult& result = progress.result;
  const size_t taken = std::min(bytes.size(), kMaxInputBytes - result.body.size());
  result.body.append(bytes.data(), taken);
  if (taken < bytes.size()) {
    result.cut = true;
    result.failure = "body cut at " + std::to_string(kMaxInputBytes >> 20) + " MiB";
    return false;
  }
  return true;
}

// The fetch itself, on the worker thread. Each WinINet call waits at most
// its own bound and never past the deadline; the deadline is also looked at
// between calls.
void Fetch(const Text& address, const FetchOptions& options, Clock::time_point deadline,
           Progress& progress) {
  // WinINet's clock and ours may differ by a hair at the deadline.
  const auto past_deadline = [&] { return Clock::now() + milliseconds(50) >= deadline; };
  const auto fail = [&](std::string failure) {
    std::lock_guard lock(progress.mutex);
    if (progress.result.failure.empty()) progress.result.failure = std::move(failure);
  };

  std::wstring extra_headers;
  for (const std::string& header : options.headers) {
    if (!IsHeaderLine(header)) return fail("malformed request header");
    extra_headers += Utf8ToWide(header) + L"\r\n";
  }
  const std::wstring user_agent = Utf8ToWide(options.user_agent);

  std::wstring url = GbkToWide(address);
  for (int redirects = 0;; ++redirects) {
    if (past_deadline()) return fail(DescribeFailure(0, true, options));
    // A session per request: a session keeps connections for reuse, and a
    // later hop could be handed one that the server closed after its
    // HTTP/1.0 answer.
    const Handle session(
        InternetOpenW(user_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return fail(DescribeFailure(GetLastError(), false, options));
    const std::optional<Address> target = ParseAddress(url);
    if (!target) return fail("not an http or https address");
    const Handle connection(InternetConnectW(session.get(), target->host.c_str(), target->port,
                                             nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    const wchar_t* accept[] = {L"*/*", nullptr};
    const DWORD flags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH |
        INTERNET_FLAG_NO_AUTO_REDIRECT | (target->secure ? INTERNET_FLAG_SECURE : 0);
    const Handle request(connection
                             ? HttpOpenRequestW(connection.get(), L"GET", target->path.c_str(),
                                                L"HTTP/1.0", nullptr, accept, flags, 0)
                             : nullptr);
    if (!request) return fail(DescribeFailure(GetLastError(), false, options));
    const wchar_t kNoCache[] = L"Cache-Control: no-cache\r\n";
    HttpAddRequestHeadersW(request.get(), kNoCache, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD);
    if (!extra_headers.empty()) {
      HttpAddRequestHeadersW(request.get(), extra_headers.c_str(), static_cast<DWORD>(-1),
                             HTTP_ADDREQ_FLAG_ADD);
    }
    SetBound(request.get(), INTERNET_OPTION_CONNECT_TIMEOUT,
             BoundMillis(options.connect_timeout, deadline));
    SetBound(request.get(), INTERNET_OPTION_SEND_TIMEOUT,
             BoundMillis(options.stall_timeout, deadline));
    SetBound(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT,
             BoundMillis(options.stall_timeout, deadline));
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) {
      return fail(DescribeFailure(GetLastError(), past_deadline(), options));
    }

    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                   nullptr);
    {
      std::lock_guard lock(progress.mutex);
      progress.result.status = static_cast<int>(status);
      TakeCookies(request.get(), progress.result.cookies);
    }
    if (status >= 300 && status < 400) {
      if (const std::optional<std::wstring> location = Header(request.get(), HTTP_QUERY_LOCATION)) {
        if (redirects == kMaxRedirects) {
          return fail("more than " + std::to_string(kMaxRedirects) + " redirections");
        }
        const std::wstring next = ResolveLocation(url, *location);
        // A step down from https would hand what was asked for in private to
        // anyone on the way.
        if (target->secure && !StartsWithNoCase(next, L"https:")) {
          return fail("redirection from https to " + WideToUtf8(next) + " refused");
        }
        url = next;
        continue;
      }
    }

    // The body, whatever the status. Only what is there is asked for, so
    // that the deadline is looked at between any two arrivals.
    std::string chunk;
    size_t received = 0;
    while (true) {
      if (past_deadline()) return fail(DescribeFailure(0, true, options));
      SetBound(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT,
               BoundMillis(options.stall_timeout, deadline));
      DWORD available = 0;
      if (!InternetQueryDataAvailable(request.get(), &available, 0, 0)) {
        return fail(DescribeFailure(GetLastError(), past_deadline(), options));
      }
      if (available == 0) break;
      chunk.resize(std::min<DWORD>(available, kReadChunk));
      DWORD got = 0;
      if (!InternetReadFile(request.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got)) {
        return fail(DescribeFailure(GetLastError(), past_deadline(), options));
      }
      if (got == 0) break;
      received += got;
      if (!Append(progress, std::string_view(chunk.data(), got))) return;
    }
    // WinINet takes a connection closed early for the end of the body.
    const std::optional<std::wstring> length = Header(request.get(), HTTP_QUERY_CONTENT_LENGTH);
    if (length && received < std::wcstoull(length->c_str(), nullptr, 10)) {
      return fail("the transfer broke off");
    }
    if (status < 200 || status > 299) fail("HTTP " + std::to_string(status));
    return;
  }
}

}  // namespace

// The fetch runs on a thread of its own, so that the deadline holds even
// where a WinINet call outlasts the bounds it was given (a server trickling
// its answer's head one byte at a time would keep it going): at the
// deadline the caller takes what has arrived, and the thread, left alone,
// ends when its call does. A thread that finished in time is joined, not
// left: winpthreads recycles a detached thread's record as the thread ends,
// and a thread started in that moment (the draw service starts several
// fetches at once) was seen to begin with no state and crash.
FetchResult FetchWithReason(const Text& address, const FetchOptions& options) {
  const seconds overall = std::max(options.overall_timeout, seconds(1));
  const Clock::time_point deadline = Clock::now() + overall;
  auto progress = std::make_shared<Progress>();
  std::thread fetch;
  try {
    fetch = std::thread([address, options, deadline, progress] {
      Fetch(address, options, deadline, *progress);
      std::lock_guard lock(progress->mutex);
      progress->finished = true;
      progress->finished_signal.notify_all();
    });
  } catch (const std::system_error&) {
    FetchResult result;
    result.failure = "no thread for the fetch";
    return result;
  }
  std::unique_lock lock(progress->mutex);
  // The thread keeps the deadline itself; this is for a call that does not.
  if (progress->finished_signal.wait_until(lock, deadline + milliseconds(500),
                                           [&] { return progress->finished; })) {
    lock.unlock();
    fetch.join();
    return std::move(progress->result);
  }
  progress->abandoned = true;
  FetchResult result;
  result.body = progress->result.body;
  result.cut = progress->result.cut;
  result.status = progress->result.status;
  result.cookies = progress->result.cookies;
  result.failure = DescribeFailure(0, true, options);
  lock.unlock();
  fetch.detach();
  return result;
}

Bytes HttpFetchWith(const Text& address, const FetchOptions& options) {
  return FetchWithReason(address, options).body;
}

Bytes HttpFetch(const Text& address) { return HttpFetchWith(address, FetchOptions()); }

}  // namespace zelkor
