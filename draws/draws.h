// The draw history: download, parsing and listing.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/input_limit.h"
#include "runtime/text.h"
#include "ui/ui_operations.h"

namespace zelkor {

// One draw as the history list holds it.
struct DrawRecord {
  Text issue;   // the `expect` attribute, byte for byte
  Text digits;  // the three parts of `opencode` joined, hundreds first
  friend bool operator==(const DrawRecord&, const DrawRecord&) = default;
};

// The path of the draw list on the draw-data service.
inline constexpr std::string_view kDrawListPath = "/static/info/kaijiang/xml/sd/list10.xml";

// The row pattern (Perl syntax, case-sensitive, "." matching line breaks):
// one match per draw, group 1 the issue, groups 2 to 4 the three digits.
inline constexpr std::string_view kDrawRowPattern =
    R"re(<row expect="(.*?)" opencode="(.*?),(.*?),(.*?)" opentime=".*?" trycode=".*?" tryinfo=".*?" />)re";

// HttpFetch keeps at most kMaxInputBytes of a body; the rest is dropped as
// though the transfer had broken off there.

// "http://" + host + kDrawListPath.
[[nodiscard]] Text DrawListAddress(std::string_view host);

// Every match of kDrawRowPattern in the document, in order, each search
// starting where the previous match ended. Takes time linear in the document
// whatever it holds.
[[nodiscard]] std::vector<DrawRecord> ParseDrawList(std::string_view document);

// The most draws a document of `size` bytes can hold: room to reserve.
[[nodiscard]] size_t MostDrawsIn(size_t size);

// ParseDrawList handing each draw to `take` as it is found, for a caller that
// keeps draws in a form of its own: the issue and the three parts of
// `opencode`, which point into `document`.
void ForEachDraw(std::string_view document,
                 const std::function<void(std::string_view issue, std::string_view hundreds,
                                          std::string_view tens, std::string_view units)>& take);

// One row of a draw list as written, each part pointing into the document.
struct DrawRow {
  std::string_view issue;
  std::string_view hundreds;
  std::string_view tens;
  std::string_view units;
  std::string_view opentime;  // the `opentime` attribute, e.g. "2026-08-22 21:15:00"
};

// ForEachDraw with the draw time too, for a caller that keeps draws with
// their dates (the draw service taking a list from another service).
void ForEachDrawRow(std::string_view document, const std::function<void(const DrawRow&)>& take);

// Where the search for rows stands in a text that may still grow: which
// literal of the row pattern is looked for next, and from where.
class RowScan {
 public:
  // How many literal parts kDrawRowPattern has between and around its gaps.
  static constexpr size_t kPatternLiterals = 8;

  // Hands every row from the current point on whose whole match lies in
  // `text` to `take`, then stops at the first that does not (yet).
  void Scan(std::string_view text, const std::function<void(const DrawRow&)>& take);
  // The first byte of `text` a later match can start at or include.
  [[nodiscard]] size_t KeepFrom() const;
  // The first `count` bytes were removed from the front of the text.
  void Drop(size_t count);

 private:
  size_t literal_ = 0;  // the literal looked for next; 0, a row start
  size_t from_ = 0;     // where to look for it
  // Where each literal before literal_ was found; the first is the row start.
  std::array<size_t, kPatternLiterals> found_{};
};

// ForEachDrawRow over a document handed over a piece at a time, as it is read:
// every row is handed to `take` as soon as the whole of it has arrived, in the
// order and with the parts ForEachDrawRow would give for the whole document,
// and only the part of the document that may still belong to a row is kept.
class DrawRowReader {
 public:
  explicit DrawRowReader(std::function<void(const DrawRow&)> take);
  // Room for the next `count` bytes of the document, to read into; valid
  // until Added.
  [[nodiscard]] char* Room(size_t count);
  // The first `count` bytes of the last Room are the document's next ones.
  void Added(size_t count);
  // The document's next bytes.
  void Add(std::string_view bytes);

 private:
  std::function<void(const DrawRow&)> take_;
  std::string pending_;
  size_t filled_ = 0;  // bytes of pending_ that hold the document
  RowScan scan_;
};

// The user agent a fetch names unless told otherwise.
inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// How long a fetch may wait, and whom it trusts. The defaults are the
// program's own; tests shorten the bounds and trust an authority of their own.
struct FetchOptions {
  // The most that name resolution plus connecting (with the TLS handshake)
  // may take, per request. Under one second counts as one second.
  std::chrono::seconds connect_timeout{60};
  // The most a transfer may go without a single byte received, waiting for
  // the answer included. Under one second counts as one second.
  std::chrono::seconds stall_timeout{60};
  // The most the whole fetch may take, every redirection included, however
  // slowly bytes keep arriving. The bytes received by then are used, as for
  // any transfer that breaks off. Under one second counts as one second.
  std::chrono::seconds overall_timeout{90};
  // A PEM file of certificate authorities read in place of the built-in
  // bundle; empty for the system's. Certificates are verified either way.
  std::string ca_file;
  // Request headers sent besides the fixed ones, each "Name: value" (a
  // source that wants a Referer or a Cookie). A header holding a line break
  // fails the fetch before anything is sent.
  std::vector<std::string> headers;
  // The User-Agent named, for a source that serves only some browsers.
  std::string user_agent = kUserAgent;

  // Options under which a fetch ends by `deadline`, however the server
  // behaves (refusing, silent or trickling).
  [[nodiscard]] static FetchOptions Within(std::chrono::seconds deadline) {
    FetchOptions options;
    options.connect_timeout = deadline;
    options.stall_timeout = deadline;
    options.overall_timeout = deadline;
    return options;
  }
};

// The most redirections a fetch follows; the next one fails it.
inline constexpr int kMaxRedirects = 10;

// What a fetch brought, and why it fell short if it did.
struct FetchResult {
  // The body of the last answer, whatever its status; what arrived before a
  // transfer broke off or timed out; nothing when no answer came.
  Bytes body;
  // Empty when a 2xx answer arrived whole; otherwise the cause in a few
  // English words ("connection refused", "HTTP 404", "timed out after 90 s").
  std::string failure;
  // The body was cut at kMaxInputBytes (`failure` says so too).
  bool cut = false;
  // The status of the last answer; 0 when no answer came.
  int status = 0;
  // The name=value part of every Set-Cookie header, in the order received,
  // over every hop: a source may set the cookie it wants back on a
  // redirection. Cookies are never sent on by the fetch itself.
  std::vector<std::string> cookies;
};

// An HTTP GET of `address` (HTTP/1.0, "Accept: */*", no cache, the user
// agent and headers of `options`), within the bounds and with the trust of
// `options`.
// Redirections to http and https are followed, at most kMaxRedirects of them
// and never from https down to http; https certificates are verified. Never
// throws; every failure is a `failure` text. The body is kept whatever the
// status, up to kMaxInputBytes.
[[nodiscard]] FetchResult FetchWithReason(const Text& address, const FetchOptions& options);

// The body of FetchWithReason with the default FetchOptions: empty when no
// answer came, never an error.
[[nodiscard]] Bytes HttpFetch(const Text& address);

// The body of FetchWithReason with `options`. (A name of its own, so that
// HttpFetch stays a single function to pass around.)
[[nodiscard]] Bytes HttpFetchWith(const Text& address, const FetchOptions& options);

// Fetches the draw list at `address`, lists one row per draw in 超级列表框1 and
// shows the first draw's digits in 编辑框1.
void LoadDrawHistory(UiOperations& ui, const Text& address);

// LoadDrawHistory fetching with `options`.
void LoadDrawHistory(UiOperations& ui, const Text& address, const FetchOptions& options);

// The list's click handler: shows the selected draw's digits in 编辑框1.
void ShowSelectedDraw(UiOperations& ui);

}  // namespace zelkor
