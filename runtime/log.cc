#include "runtime/log.h"

#include <utility>

#include "runtime/printable.h"

namespace zelkor {
namespace {

// Where the authority of an address (after "://") ends.
bool EndsAuthority(char c) {
  return c == '/' || c == '?' || c == '#' || c == ' ' || c == '"' || c == '\'' || c == '<' ||
         c == '>' || static_cast<unsigned char>(c) < 0x20;
}

// `line` with the credentials of every address in it hidden.
std::string HideCredentials(std::string_view line) {
  std::string hidden;
  size_t copied = 0;
  for (size_t scheme_end = line.find("://"); scheme_end != std::string_view::npos;
       scheme_end = line.find("://", scheme_end + 3)) {
    const size_t start = scheme_end + 3;
    size_t end = start;
    while (end < line.size() && !EndsAuthority(line[end])) ++end;
    const size_t at = line.substr(start, end - start).rfind('@');
    if (at == std::string_view::npos) continue;
    hidden.append(line.substr(copied, start - copied)).append("***");
    copied = start + at;
  }
  if (copied == 0) return std::string(line);
  hidden.append(line.substr(copied));
  return hidden;
}

}  // namespace

std::string SafeLogLine(std::string_view line) {
  // Each character shows as at least one byte, so cutting to as many
  // characters first bounds the work whatever the line's length.
  std::string shown = PrintableCutKeepingBackslashes(HideCredentials(line), kMaxLogLineBytes);
  if (shown.size() <= kMaxLogLineBytes + std::string_view("…").size()) return shown;
  size_t end = kMaxLogLineBytes;
  // Not inside a UTF-8 sequence: back to the byte that starts one.
  while (end > 0 && (static_cast<unsigned char>(shown[end]) & 0xC0) == 0x80) --end;
  shown.resize(end);
  return shown + "…";
}

Log SafeLog(Log sink) {
  return [sink = std::move(sink)](const std::string& line) {
    if (sink) sink(SafeLogLine(line));
  };
}

std::string GroupedCount(size_t count) {
  const std::string digits = std::to_string(count);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

}  // namespace zelkor
