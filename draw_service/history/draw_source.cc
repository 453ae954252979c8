#include "draw_service/history/draw_source.h"

#include <algorithm>

#include "draws/draws.h"

namespace zelkor::service {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

DrawSource ReadCsv(std::string_view text) {
  DrawSource source;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++number;
    const size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (number == 1 || line.empty()) continue;
    OfferedDraw offered{{}, number};
    std::string reason = ParseDrawLine(line, offered.draw);
    if (reason.empty()) {
      source.draws.push_back(std::move(offered));
    } else {
      source.refused.push_back({number, std::move(reason)});
    }
  }
  return source;
}

std::string OneDigit(std::string_view part) {
  return part.size() == 1 && part[0] >= '0' && part[0] <= '9' ? std::string(part) : std::string();
}

DrawSource ReadDrawList(std::string_view text) {
  DrawSource source;
  // Lines are counted as the rows go, so the count stays linear.
  const char* counted_to = text.data();
  int line = 1;
  ForEachDrawRow(text, [&](const DrawRow& row) {
    line += static_cast<int>(std::count(counted_to, row.issue.data(), '\n'));
    counted_to = row.issue.data();
    OfferedDraw offered{{std::string(row.issue), {}, {}}, line};
    const std::string digits = OneDigit(row.hundreds) + OneDigit(row.tens) + OneDigit(row.units);
    if (digits.size() != 3) {
      source.refused.push_back({line, "opencode '" + std::string(row.hundreds) + "," +
                                          std::string(row.tens) + "," + std::string(row.units) +
                                          "' is not three digits"});
      return;
    }
    offered.draw.digits = digits;
    if (row.opentime.size() < 10 || (row.opentime.size() > 10 && row.opentime[10] != ' ')) {
      source.refused.push_back(
          {line, "opentime '" + std::string(row.opentime) + "' does not start with a date"});
      return;
    }
    offered.draw.date = std::string(row.opentime.substr(0, 10));
    std::string reason = CheckDrawFields(offered.draw);
    if (reason.empty()) {
      source.draws.push_back(std::move(offered));
    } else {
      source.refused.push_back({line, std::move(reason)});
    }
  });
  return source;
}

}  // namespace

DrawSource ReadDrawSource(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::string_view first_line = text.substr(0, text.find('\n'));
  if (first_line.ends_with('\r')) first_line.remove_suffix(1);
  DrawSource source = first_line == kHistoryHeader ? ReadCsv(text) : ReadDrawList(text);
  if (source.draws.empty() && source.refused.empty()) {
    source.error = first_line == kHistoryHeader
                       ? "a history CSV with no draw"
                       : "neither a draw list nor a history CSV (issue,date,digits)";
  }
  return source;
}

}  // namespace zelkor::service
