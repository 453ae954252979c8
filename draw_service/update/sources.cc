#include "draw_service/update/sources.h"

#include <algorithm>

#include "draw_service/history/draw_source.h"

namespace zelkor::service {
namespace {

// Some sources serve browsers only.
constexpr char kBrowserUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/120.0 Safari/537.36";

SourceReading ReadXml(std::string_view body, size_t) { return ReadDrawListXml(body); }
SourceReading ReadCwl(std::string_view body, size_t) { return ReadCwlJson(body); }
SourceReading ReadZhcw(std::string_view body, size_t) { return ReadZhcwJsonp(body); }

std::string WithCount(std::string address, size_t count) {
  constexpr std::string_view kCount = "{count}";
  for (size_t at = address.find(kCount); at != std::string::npos; at = address.find(kCount)) {
    address.replace(at, kCount.size(), std::to_string(count));
  }
  return address;
}

// The scheme and host of `address` replaced by `base`'s.
std::string Rebased(const std::string& address, const std::string& base) {
  if (address.empty()) return address;
  const size_t host = address.find("://");
  const size_t path = address.find('/', host == std::string::npos ? 0 : host + 3);
  return base + (path == std::string::npos ? std::string("/") : address.substr(path));
}

bool OnLoopback(std::string_view address) {
  for (const std::string_view prefix : {"http://127.0.0.1:", "http://localhost:"}) {
    if (address.starts_with(prefix)) return true;
  }
  return address == "http://127.0.0.1" || address == "http://localhost";
}

// `options` bounded by what is `left` of its deadline (a second at least).
FetchOptions Within(FetchOptions options, std::chrono::seconds left) {
  left = std::max(left, std::chrono::seconds(1));
  options.connect_timeout = std::min(options.connect_timeout, left);
  options.stall_timeout = std::min(options.stall_timeout, left);
  options.overall_timeout = std::min(options.overall_timeout, left);
  return options;
}

}  // namespace

const std::vector<SourceSpec>& BuiltInSources() {
  static const std::vector<SourceSpec> sources = {
      {"xml",
       "https://kaijiang.500.com/static/info/kaijiang/xml/sd/list10.xml",
       "https://kaijiang.500.com/static/info/kaijiang/xml/sd/list.xml",
       10,
       1000,
       {},
       {},
       {},
       std::chrono::minutes(10),
       ReadXml},
      // The whole history newest first; only the lines wanted are read.
      {"17500",
       "https://data.17500.cn/3d_desc.txt",
       "https://data.17500.cn/3d_desc.txt",
       10,
       100000,
       {},
       {},
       {},
       std::chrono::minutes(10),
       Read17500Text},
      {"cwl",
       "https://www.cwl.gov.cn/cwl_admin/front/cwlkj/search/kjxx/findDrawNotice?name=3d&"
       "issueCount={count}&pageNo=1&pageSize={count}&systemType=PC",
       "https://www.cwl.gov.cn/cwl_admin/front/cwlkj/search/kjxx/findDrawNotice?name=3d&"
       "issueCount={count}&pageNo=1&pageSize={count}&systemType=PC",
       10,
       100,
       {"Referer: https://www.cwl.gov.cn/ygkj/wqkjgg/3d/"},
       kBrowserUserAgent,
       "https://www.cwl.gov.cn/ygkj/wqkjgg/3d/",
       std::chrono::minutes(15),
       ReadCwl},
      {"zhcw",
       "https://jc.zhcw.com/port/client_json.php?callback=CB&transactionType=10001001&"
       "lotteryId=2&issueCount={count}&type=0&pageNum=1&pageSize={count}",
       "https://jc.zhcw.com/port/client_json.php?callback=CB&transactionType=10001001&"
       "lotteryId=2&issueCount={count}&type=0&pageNum=1&pageSize={count}",
       10,
       100,
       {"Referer: https://www.zhcw.com/kjxx/3d/"},
       kBrowserUserAgent,
       {},
       std::chrono::minutes(10),
       ReadZhcw},
  };
  return sources;
}

std::vector<SourceSpec> SwitchedSources(std::vector<SourceSpec> table, const char* value,
                                        std::string& note) {
  if (value == nullptr) return table;
  const std::string text = value;
  if (text == "off") {
    note = "built-in sources off (" + std::string(kSourcesSwitch) + "=off)";
    return {};
  }
  // NAME=BASE pairs, or one BASE for every source.
  std::vector<std::pair<std::string, std::string>> bases;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(',', start), text.size());
    const std::string part = text.substr(start, end - start);
    const size_t equals = part.find('=');
    if (equals == std::string::npos) {
      bases.emplace_back("", part);
    } else {
      bases.emplace_back(part.substr(0, equals), part.substr(equals + 1));
    }
    start = end + 1;
  }
  for (const auto& [name, base] : bases) {
    if (!OnLoopback(base)) {
      note = "built-in sources off: " + std::string(kSourcesSwitch) + " names '" + base +
             "', which is not on loopback";
      return {};
    }
  }
  std::vector<SourceSpec> switched;
  for (SourceSpec& source : table) {
    const auto base = std::find_if(bases.begin(), bases.end(), [&](const auto& b) {
      return b.first.empty() || b.first == source.name;
    });
    if (base == bases.end()) continue;
    source.address = Rebased(source.address, base->second);
    source.gap_address = Rebased(source.gap_address, base->second);
    source.cookie_page = Rebased(source.cookie_page, base->second);
    switched.push_back(std::move(source));
  }
  note = "built-in sources pointed at loopback (" + std::string(kSourcesSwitch) + "=" + text + ")";
  return switched;
}

SourceAnswer AskSource(const SourceSpec& source, size_t count, const std::string& user_agent,
                       FetchOptions options) {
  const auto started = std::chrono::steady_clock::now();
  SourceAnswer answer{source.name, {}, {}};
  options.user_agent = source.user_agent.empty() ? user_agent : source.user_agent;
  options.headers = source.headers;
  if (!source.cookie_page.empty()) {
    // Without its cookie the source answers a refusal; a page that fails is
    // no reason not to try.
    const FetchResult page = FetchWithReason(source.cookie_page, options);
    if (!page.cookies.empty()) {
      std::string cookie = "Cookie: ";
      for (size_t i = 0; i < page.cookies.size(); ++i) {
        cookie += (i > 0 ? "; " : "") + page.cookies[i];
      }
      options.headers.push_back(cookie);
    }
  }
  const std::string address =
      WithCount(count > source.few ? source.gap_address : source.address, count);
  // The list page and the answer share the deadline.
  const auto left = std::chrono::duration_cast<std::chrono::seconds>(
      options.overall_timeout - (std::chrono::steady_clock::now() - started));
  const FetchResult fetched =
      FetchWithReason(address, source.cookie_page.empty() ? options : Within(options, left));
  if (!fetched.failure.empty()) {
    answer.failure = fetched.failure;
    return answer;
  }
  if (fetched.status != 200) {
    answer.failure = "HTTP status " + std::to_string(fetched.status);
    return answer;
  }
  SourceReading reading = source.read(fetched.body, count);
  if (!reading.refusal.empty()) {
    answer.failure = reading.refusal;
    return answer;
  }
  for (SourceDraw& draw : reading.draws) {
    HistoryDraw held{std::move(draw.issue), std::move(draw.date), std::move(draw.digits)};
    if (std::string reason = CheckDrawFields(held); !reason.empty()) {
      answer.draws.clear();
      answer.failure = "draw " + held.issue + ": " + reason;
      return answer;
    }
    answer.draws.push_back(std::move(held));
  }
  if (answer.draws.empty()) answer.failure = "no draws in the answer";
  return answer;
}

SourceAnswer AskUpstream(const std::string& url, const FetchOptions& options,
                         std::vector<std::string>& refused_rows) {
  SourceAnswer answer{"upstream " + url, {}, {}};
  const FetchResult fetched = FetchWithReason(url, options);
  if (!fetched.failure.empty()) {
    answer.failure = fetched.failure;
    return answer;
  }
  DrawSource source = ReadDrawSource(fetched.body);
  if (!source.error.empty()) {
    answer.failure = source.error;
    return answer;
  }
  for (OfferedDraw& offered : source.draws) answer.draws.push_back(std::move(offered.draw));
  for (const RefusedRow& row : source.refused) {
    refused_rows.push_back("line " + std::to_string(row.line) + ": " + row.reason);
  }
  return answer;
}

}  // namespace zelkor::service
