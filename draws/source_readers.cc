// Every reader ends in the same checks of each row (CheckedDraw), so that a
// draw is only ever handed on in one shape whatever its source wrote.
// The JSON readers parse with Boost.JSON, compiled here from its headers.
#include "draws/source_readers.h"

#include <boost/json/src.hpp>

#include <algorithm>
#include <chrono>
#include <optional>

#include "draws/draws.h"

namespace zelkor {
namespace {

namespace json = boost::json;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view WithoutBom(std::string_view body) {
  if (body.starts_with(kBom)) body.remove_prefix(kBom.size());
  return body;
}

std::string_view Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

int Number(std::string_view digits) {
  int number = 0;
  for (const char c : digits) number = number * 10 + (c - '0');
  return number;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                     [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

// Error pages, login walls and "verify you are human" pages come as HTML,
// often with status 200. Only the head is looked at: no draw list of any
// of the formats starts with HTML.
bool LooksLikeHtml(std::string_view body) {
  const std::string_view head = body.substr(0, 1024);
  return ContainsNoCase(head, "<!doctype html") || ContainsNoCase(head, "<html");
}

// `text` as it may appear in a log line: printable ASCII, other bytes as
// '?', at most 24 of them.
std::string Printable(std::string_view text) {
  constexpr size_t kMost = 24;
  std::string shown;
  for (const char c : text.substr(0, kMost)) shown += (c >= ' ' && c <= '~') ? c : '?';
  if (text.size() > kMost) shown += "...";
  return shown;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted += Printable(text);
  quoted += '"';
  return quoted;
}

// The date at the start of a time stamp: "2026-08-22", "2026-08-22
// 21:15:00", "2025-12-04(四)". Empty when the stamp does not start with a
// date standing on its own.
std::string_view DateOf(std::string_view stamp) {
  const std::string_view date = stamp.substr(0, 10);
  if (stamp.size() > 10 && (IsDigit(stamp[10]) || stamp[10] == '-')) return {};
  return IsCalendarDate(date) ? date : std::string_view();
}

// "6,6,1", "6 6 1" and "661" all give "661"; anything else nothing.
std::string ThreeDigits(std::string_view text) {
  std::vector<std::string_view> parts;
  for (size_t at = 0; at < text.size();) {
    const size_t begin = text.find_first_not_of(", \t", at);
    if (begin == std::string_view::npos) break;
    const size_t end = std::min(text.find_first_of(", \t", begin), text.size());
    parts.push_back(text.substr(begin, end - begin));
    at = end;
  }
  std::string digits;
  for (const std::string_view part : parts) digits += part;
  const bool shaped = (parts.size() == 3 && digits.size() == 3) || parts.size() == 1;
  return shaped && digits.size() == 3 && AllDigits(digits) ? digits : std::string();
}

// The draw a row stands for, or why it cannot be one.
struct Checked {
  SourceDraw draw;
  std::string fault;
};

Checked CheckedDraw(std::string_view issue, std::string_view stamp, std::string_view digits) {
  Checked checked;
  if (issue.size() != 7 || !AllDigits(issue) || issue.substr(4) == "000") {
    checked.fault = "bad issue " + Quoted(issue);
    return checked;
  }
  const std::string_view date = DateOf(stamp);
  if (date.empty()) {
    checked.fault = "bad date " + Quoted(stamp);
    return checked;
  }
  // The count restarts each year with the first draw of the year.
  if (date.substr(0, 4) != issue.substr(0, 4)) {
    checked.fault = "issue " + std::string(issue) + " dated " + std::string(date);
    return checked;
  }
  checked.draw = {std::string(issue), std::string(date), ThreeDigits(digits)};
  if (checked.draw.digits.empty()) checked.fault = "bad digits " + Quoted(digits);
  return checked;
}

SourceReading Refused(std::string refusal) { return {{}, std::move(refusal)}; }

// The reading of a list of rows: the draws, or the first row's fault.
class RowCollector {
 public:
  // False when this row refuses the answer.
  bool Add(std::string_view row_name, std::string_view issue, std::string_view stamp,
           std::string_view digits) {
    Checked checked = CheckedDraw(issue, stamp, digits);
    ++rows_;
    if (!checked.fault.empty()) {
      reading_ = Refused(std::string(row_name) + ": " + checked.fault);
      return false;
    }
    reading_.draws.push_back(std::move(checked.draw));
    return true;
  }
  void Refuse(std::string refusal) { reading_ = Refused(std::move(refusal)); }
  [[nodiscard]] size_t rows() const { return rows_; }
  [[nodiscard]] bool refused() const { return !reading_.refusal.empty(); }

  SourceReading Take() && {
    if (!refused() && reading_.draws.empty()) return Refused("no draws in the answer");
    return std::move(reading_);
  }

 private:
  SourceReading reading_;
  size_t rows_ = 0;
};

// The row elements begun in `document`, finished or not.
size_t RowStarts(std::string_view document) {
  constexpr std::string_view kTag = "<row";
  size_t count = 0;
  for (size_t at = document.find(kTag); at != std::string_view::npos;
       at = document.find(kTag, at + kTag.size())) {
    const size_t next = at + kTag.size();
    if (next == document.size() ||
        std::string_view(" \t\r\n/>").find(document[next]) != std::string_view::npos) {
      ++count;
    }
  }
  return count;
}

// The document `text` holds, or why it holds none.
std::optional<json::value> ParsedJson(std::string_view text, std::string& refusal) {
  json::parse_options options;
  // GBK in a field that is not used must not cost the draws.
  options.allow_invalid_utf8 = true;
  boost::system::error_code error;
  json::value value = json::parse(text, error, json::storage_ptr(), options);
  if (error) {
    refusal = Trimmed(text).empty() ? "empty answer"
                                    : "not a draw list: unreadable JSON (" + error.message() + ")";
    return std::nullopt;
  }
  if (!value.is_object()) {
    refusal = "not a draw list: not a JSON object";
    return std::nullopt;
  }
  return value;
}

// A value as a log line shows it, a text without its quotes.
std::string Shown(const json::value& value) {
  if (const json::string* text = value.if_string()) return Printable(*text);
  return Printable(json::serialize(value));
}

std::optional<std::string_view> StringField(const json::object& row, std::string_view key) {
  const json::value* value = row.if_contains(key);
  if (value == nullptr || !value->is_string()) return std::nullopt;
  return std::string_view(value->get_string());
}

// The rows of a JSON answer, each an object with its issue, date and digits
// under the keys given; with `game_key`, a row naming another game than
// `game` refuses the answer.
struct JsonKeys {
  std::string_view issue;
  std::string_view date;
  std::string_view digits;
  std::string_view game_key;
  std::string_view game;
};

SourceReading ReadJsonRows(const json::array& rows, const JsonKeys& keys) {
  RowCollector collector;
  for (const json::value& value : rows) {
    const std::string row_name = "row " + std::to_string(collector.rows() + 1);
    const json::object* row = value.if_object();
    if (row == nullptr) return Refused(row_name + ": not an object");
    for (const std::string_view key : {keys.issue, keys.date, keys.digits}) {
      if (!StringField(*row, key)) return Refused(row_name + ": no text " + Quoted(key));
    }
    if (!keys.game_key.empty()) {
      const std::optional<std::string_view> game = StringField(*row, keys.game_key);
      if (game && *game != keys.game) return Refused(row_name + ": a draw of " + Quoted(*game));
    }
    if (!collector.Add(row_name, *StringField(*row, keys.issue), *StringField(*row, keys.date),
                       *StringField(*row, keys.digits))) {
      break;
    }
  }
  return std::move(collector).Take();
}

// The JSON inside a JSONP answer, `callback({...});` under any callback
// name, or the answer itself when it is plain JSON. Nothing when it is
// neither.
std::optional<std::string_view> JsonpContent(std::string_view body) {
  if (body.starts_with('{')) return body;
  const size_t open = body.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  const std::string_view name = Trimmed(body.substr(0, open));
  const bool callback_name = std::all_of(name.begin(), name.end(), [](char c) {
    return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') || c == '_' || c == '$' || c == '.';
  });
  if (!callback_name) return std::nullopt;
  std::string_view tail = body.substr(open + 1);
  if (tail.ends_with(';')) tail = Trimmed(tail.substr(0, tail.size() - 1));
  // A wrapper never closed is an answer cut short: the JSON inside it says so.
  if (tail.ends_with(')')) tail.remove_suffix(1);
  return tail;
}

}  // namespace

SourceReading ReadDrawListXml(std::string_view body) {
  if (LooksLikeHtml(body)) return Refused("not a draw list: an HTML page");
  RowCollector collector;
  ForEachDrawRow(body, [&collector](const DrawRow& row) {
    if (collector.refused()) return;
    const std::string digits = TextJoin(row.hundreds, ",", row.tens, ",", row.units);
    // The date is the opentime's; a bad one is named as written.
    (void)collector.Add("row " + std::to_string(collector.rows() + 1), row.issue, row.opentime,
                        digits);
  });
  if (collector.refused()) return std::move(collector).Take();
  // A row the pattern could not take whole: cut short, or written otherwise.
  const size_t begun = RowStarts(body);
  if (begun > collector.rows()) {
    collector.Refuse("row " + std::to_string(collector.rows() + 1) + " cannot be read");
  } else if (begun == 0) {
    collector.Refuse(Trimmed(WithoutBom(body)).empty() ? "empty answer"
                                                       : "not a draw list: no rows");
  }
  return std::move(collector).Take();
}

SourceReading Read17500Text(std::string_view body, size_t most) {
  body = WithoutBom(body);
  if (LooksLikeHtml(body)) return Refused("not a draw list: an HTML page");
  if (Trimmed(body).empty()) return Refused("empty answer");
  RowCollector collector;
  size_t line_number = 0;
  for (size_t at = 0; at < body.size() && collector.rows() < most;) {
    const size_t end = std::min(body.find('\n', at), body.size());
    const std::string_view line = Trimmed(body.substr(at, end - at));
    at = end + 1;
    ++line_number;
    if (line.empty()) continue;
    std::vector<std::string_view> fields;
    for (size_t from = 0; fields.size() < 5 && from < line.size();) {
      const size_t begin = line.find_first_not_of(kBlanks, from);
      if (begin == std::string_view::npos) break;
      from = std::min(line.find_first_of(kBlanks, begin), line.size());
      fields.push_back(line.substr(begin, from - begin));
    }
    const std::string line_name = "line " + std::to_string(line_number);
    if (fields.size() < 5) return Refused(line_name + ": fewer than five fields");
    const std::string digits = TextJoin(fields[2], ",", fields[3], ",", fields[4]);
    if (!collector.Add(line_name, fields[0], fields[1], digits)) break;
  }
  return std::move(collector).Take();
}

SourceReading ReadCwlJson(std::string_view body) {
  body = Trimmed(WithoutBom(body));
  if (LooksLikeHtml(body)) return Refused("not a draw list: an HTML page");
  std::string refusal;
  const std::optional<json::value> document = ParsedJson(body, refusal);
  if (!document) return Refused(refusal);
  const json::object& top = document->get_object();
  // It answers {"status":0,"message":null} to a request without its cookie.
  if (const json::value* state = top.if_contains("state");
      state != nullptr && !(state->is_int64() && state->get_int64() == 0)) {
    return Refused("refused by the source: state " + Shown(*state));
  }
  if (const json::value* result = top.if_contains("result"); result && result->is_array()) {
    return ReadJsonRows(result->get_array(), {"code", "date", "red", "name", "3D"});
  }
  if (const json::value* status = top.if_contains("status")) {
    return Refused("refused by the source: status " + Shown(*status));
  }
  return Refused("not a draw list: no result");
}

SourceReading ReadZhcwJsonp(std::string_view body) {
  body = Trimmed(WithoutBom(body));
  if (LooksLikeHtml(body)) return Refused("not a draw list: an HTML page");
  if (body.empty()) return Refused("empty answer");
  const std::optional<std::string_view> content = JsonpContent(body);
  if (!content) return Refused("not a draw list: neither JSON nor JSONP");
  std::string refusal;
  const std::optional<json::value> document = ParsedJson(*content, refusal);
  if (!document) return Refused(refusal);
  const json::object& top = document->get_object();
  if (const json::value* code = top.if_contains("resCode");
      code != nullptr && !(code->is_string() && code->get_string() == "000000")) {
    return Refused("refused by the source: resCode " + Shown(*code));
  }
  const json::value* data = top.if_contains("data");
  if (data == nullptr || !data->is_array()) return Refused("not a draw list: no data");
  return ReadJsonRows(data->get_array(), {"issue", "openTime", "frontWinningNum", {}, {}});
}

bool IsCalendarDate(std::string_view date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  const std::string_view year = date.substr(0, 4);
  const std::string_view month = date.substr(5, 2);
  const std::string_view day = date.substr(8, 2);
  if (!AllDigits(year) || !AllDigits(month) || !AllDigits(day)) return false;
  const std::chrono::year_month_day ymd{std::chrono::year{Number(year)},
                                        std::chrono::month{static_cast<unsigned>(Number(month))},
                                        std::chrono::day{static_cast<unsigned>(Number(day))}};
  return ymd.ok();
}

}  // namespace zelkor
