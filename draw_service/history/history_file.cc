#include "draw_service/history/history_file.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>

#include "draws/source_readers.h"
#include "runtime/lines.h"
#include "runtime/printable.h"
#include "runtime/program_io.h"

namespace zelkor::service {
namespace {

// The longest a draw line can be: "2026224,2026-08-22,862" and CR LF.
constexpr size_t kMaxDrawLineBytes = 24;

// A field as a reason quotes it.
std::string Quoted(std::string_view field) {
  std::string quoted(1, '\'');
  quoted += PrintableCut(field);
  quoted += '\'';
  return quoted;
}

bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// The reason `draw` may not follow `previous`; empty when it may.
std::string CheckOrder(const HistoryDraw& draw, const HistoryDraw& previous) {
  if (Number(draw.issue) <= Number(previous.issue)) {
    return "issue " + draw.issue + " does not come after " + previous.issue +
           " (the file lists the oldest draw first)";
  }
  if (draw.date < previous.date) {
    return "date " + draw.date + " is before " + previous.date + " of the line above";
  }
  return {};
}

}  // namespace

std::string CheckDrawFields(const HistoryDraw& draw) {
  if (draw.issue.size() != 7 || !AllDigits(draw.issue) || Number(draw.issue) % 1000 == 0) {
    return "issue " + Quoted(draw.issue) + " is not seven digits (year, then draw 001 to 999)";
  }
  if (!IsCalendarDate(draw.date)) {
    return "date " + Quoted(draw.date) + " is not a calendar date YYYY-MM-DD";
  }
  if (draw.issue.substr(0, 4) != draw.date.substr(0, 4)) {
    return "issue " + draw.issue + " is not of the year of its date " + draw.date;
  }
  if (draw.digits.size() != 3 || !AllDigits(draw.digits)) {
    return "digits " + Quoted(draw.digits) + " are not three digits";
  }
  return {};
}

std::string ParseDrawLine(std::string_view line, HistoryDraw& draw) {
  const size_t first = line.find(',');
  const size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
  if (second == std::string_view::npos || line.find(',', second + 1) != std::string_view::npos) {
    return "expected three fields: issue,date,digits";
  }
  draw.issue = std::string(line.substr(0, first));
  draw.date = std::string(line.substr(first + 1, second - first - 1));
  draw.digits = std::string(line.substr(second + 1));
  return CheckDrawFields(draw);
}

std::string HistoryText(const std::vector<HistoryDraw>& draws) {
  std::string text(kHistoryHeader);
  text.push_back('\n');
  text.reserve(text.size() + draws.size() * 23);
  for (const HistoryDraw& draw : draws) {
    text.append(draw.issue).append(",").append(draw.date).append(",").append(draw.digits);
    text.push_back('\n');
  }
  return text;
}

std::variant<std::vector<HistoryDraw>, HistoryError> ParseHistory(std::string_view text,
                                                                  size_t max_draws) {
  std::vector<HistoryDraw> draws;
  LineReader lines(text);
  int number = 0;
  while (const std::optional<std::string_view> next = lines.Next()) {
    const std::string_view line = *next;
    number = lines.number();
    if (number == 1) {
      if (line != kHistoryHeader) {
        return HistoryError{number,
                            "expected the header line '" + std::string(kHistoryHeader) + "'"};
      }
      continue;
    }
    if (line.empty()) return HistoryError{number, "empty line"};
    if (draws.size() == max_draws) {
      return HistoryError{
          number, "more draws than the draw list may serve (" + std::to_string(max_draws) + ")"};
    }
    HistoryDraw draw;
    std::string reason = ParseDrawLine(line, draw);
    if (reason.empty() && !draws.empty()) reason = CheckOrder(draw, draws.back());
    if (!reason.empty()) return HistoryError{number, reason};
    draws.push_back(std::move(draw));
  }
  if (number == 0) return HistoryError{1, "the file is empty"};
  if (draws.empty()) return HistoryError{number, "the file holds no draw"};
  return draws;
}

std::variant<std::vector<HistoryDraw>, HistoryError> ReadHistoryFile(const std::string& utf8_path,
                                                                     size_t max_draws) {
  // Through the runtime's opening, so that on Windows a name outside the
  // system's code page opens too.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(utf8_path),
                                                             &std::fclose);
  if (!file) return HistoryError{0, "cannot be opened"};
  // A file of `max_draws` draws is at most this long; one byte more is
  // enough to know the file is larger.
  const size_t most = max_draws > (SIZE_MAX - kHistoryHeader.size() - 2) / kMaxDrawLineBytes
                          ? SIZE_MAX - 1
                          : kHistoryHeader.size() + 2 + max_draws * kMaxDrawLineBytes;
  std::string text;
  char buffer[1 << 16];
  size_t count = 0;
  while (text.size() <= most &&
         (count = std::fread(buffer, 1, std::min(sizeof(buffer), most + 1 - text.size()),
                             file.get())) > 0) {
    text.append(buffer, count);
  }
  if (std::ferror(file.get())) return HistoryError{0, "cannot be read"};
  if (text.size() > most) {
    return HistoryError{0, "is larger than " + std::to_string(most) +
                               " bytes: more draws than the draw list may serve (" +
                               std::to_string(max_draws) + ")"};
  }
  return ParseHistory(text, max_draws);
}

}  // namespace zelkor::service
