#include "draw_service/store/store_text.h"

#include <algorithm>

#include "runtime/gbk.h"
#include "runtime/printable.h"

namespace zelkor::service {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kFullWidthComma = "\xEF\xBC\x8C";  // ,
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The text as UTF-8, whichever byte order mark it starts with.
std::string AsUtf8(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  return std::string(bytes);
}

bool Digits(std::string_view text, size_t least, size_t most) {
  return text.size() >= least && text.size() <= most &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A date written year, month and day with '-', '/' or '.' between them and
// one or two digits for month and day, as YYYY-MM-DD; anything else as it is,
// for the checks to refuse.
std::string NormalDate(std::string_view date) {
  const size_t first = date.find_first_of("-/.");
  const size_t second = first == 4 ? date.find(date[first], first + 1) : std::string_view::npos;
  if (second == std::string_view::npos) return std::string(date);
  const std::string_view year = date.substr(0, 4);
  const std::string_view month = date.substr(5, second - 5);
  const std::string_view day = date.substr(second + 1);
  if (!Digits(year, 4, 4) || !Digits(month, 1, 2) || !Digits(day, 1, 2)) return std::string(date);
  std::string normal(year);
  normal += month.size() == 1 ? "-0" : "-";
  normal += month;
  normal += day.size() == 1 ? "-0" : "-";
  normal += day;
  return normal;
}

// The Chinese for why the fields of `draw` are no draw; CheckDrawFields has
// the English.
std::string FieldsReason(const std::string& english) {
  std::string chinese = "号码应为三位数字";
  if (english.starts_with("issue") && english.find("year") != std::string::npos &&
      english.find("seven") == std::string::npos) {
    chinese = "期号的年份与日期的年份不同";
  } else if (english.starts_with("issue")) {
    chinese = "期号应为七位数字(年份加001至999)";
  } else if (english.starts_with("date")) {
    chinese = "日期无法识别,应写作 2026-08-23 或 2026/8/23";
  }
  return chinese + " (" + english + ")";
}

// The draw a line holds, or why it holds none.
std::string ReadLine(std::string_view line, HistoryDraw& draw) {
  std::vector<std::string> fields;
  std::string text;
  for (size_t at = 0; at < line.size();) {
    if (line.substr(at).starts_with(kFullWidthComma)) {
      text += ',';
      at += kFullWidthComma.size();
    } else {
      text += line[at++];
    }
  }
  std::string_view rest = text;
  for (;;) {
    const size_t comma = rest.find(',');
    fields.emplace_back(Trimmed(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (fields.size() != 3) {
    return "应为三栏:期号,日期,号码 (expected three fields: issue,date,digits)";
  }
  draw = {fields[0], NormalDate(fields[1]), fields[2]};
  const std::string english = CheckDrawFields(draw);
  return english.empty() ? std::string() : FieldsReason(english);
}

bool IsHeader(std::string_view line) {
  std::string squeezed;
  for (const char c : line) {
    if (kBlanks.find(c) == std::string_view::npos) squeezed += c;
  }
  return squeezed == kHistoryHeader;
}

}  // namespace

StoreReading ReadStoreText(std::string_view bytes) {
  const std::string text = AsUtf8(bytes);
  StoreReading reading;
  struct Numbered {
    HistoryDraw draw;
    int line;
  };
  std::vector<Numbered> read;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    ++number;
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = Trimmed(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || (read.empty() && reading.unread.empty() && IsHeader(line))) continue;
    HistoryDraw draw;
    if (std::string reason = ReadLine(line, draw); !reason.empty()) {
      reading.unread.push_back({number, PrintableCut(line), std::move(reason)});
    } else {
      read.push_back({std::move(draw), number});
    }
  }
  // Issues are seven digits, so byte order is numeric order.
  std::stable_sort(read.begin(), read.end(), [](const Numbered& a, const Numbered& b) {
    return a.draw.issue < b.draw.issue;
  });
  const auto refuse = [&reading](const Numbered& one, std::string reason) {
    reading.unread.push_back(
        {one.line, PrintableCut(one.draw.issue + "," + one.draw.date + "," + one.draw.digits),
         std::move(reason)});
  };
  int kept_line = 0;
  for (const Numbered& one : read) {
    if (!reading.draws.empty()) {
      const HistoryDraw& previous = reading.draws.back();
      if (previous.issue == one.draw.issue) {
        if (previous.date != one.draw.date || previous.digits != one.draw.digits) {
          refuse(one, "第" + std::to_string(kept_line) + "行已有第" + one.draw.issue +
                          "期,两行不同 (issue " + one.draw.issue + " is on line " +
                          std::to_string(kept_line) + " too, differently)");
        }
        continue;
      }
      if (one.draw.date < previous.date) {
        refuse(one, "日期早于上一期(第" + previous.issue + "期," + previous.date + ") (date " +
                        one.draw.date + " is before " + previous.date + " of draw " +
                        previous.issue + ")");
        continue;
      }
    }
    reading.draws.push_back(one.draw);
    kept_line = one.line;
  }
  std::sort(reading.unread.begin(), reading.unread.end(),
            [](const UnreadLine& a, const UnreadLine& b) { return a.line < b.line; });
  return reading;
}

std::string UnreadLineText(const UnreadLine& unread) {
  return "第" + std::to_string(unread.line) + "行“" + unread.text + "”:" + unread.reason;
}

}  // namespace zelkor::service
