#include "runtime/text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "runtime/c_number.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, size_t pos, std::string_view needle, bool ignore_case) {
  if (text.size() - pos < needle.size()) return false;
  for (size_t i = 0; i < needle.size(); ++i) {
    char a = text[pos + i];
    char b = needle[i];
    if (ignore_case ? AsciiLower(a) != AsciiLower(b) : a != b) return false;
  }
  return true;
}

// Texts end at their first zero byte.
std::string_view UpToZero(std::string_view text) {
  size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// Full-width forms (first byte A3) and a few A1 punctuation marks become ASCII
// before a number is read, so "１２" reads as 12.
std::string RewriteFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || i + 1 >= text.size()) {
      out.push_back(text[i++]);
      continue;
    }
    auto trail = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail & 0x7F));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.append(text.substr(i, 2));
    }
    i += 2;
  }
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

size_t SkipDigits(std::string_view text, size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos;
}

int32_t Saturate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

}  // namespace

// Searches step over both bytes of a double-byte character at once.
size_t CharacterWidthAt(std::string_view text, size_t pos) {
  return (static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size()) ? 2 : 1;
}

std::string_view TextView(std::string_view text) { return UpToZero(text); }

int32_t TextLength(std::string_view text) { return static_cast<int32_t>(UpToZero(text).size()); }

// TextLeft and TextMid look for a zero byte only as far as the piece they
// take: a caller stepping through a long text a byte at a time must not pay
// for the whole text at every step.
Text TextLeft(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  return Text(UpToZero(text.substr(0, static_cast<size_t>(count))));
}

Text TextMid(std::string_view text, int32_t start, int32_t count) {
  if (start < 1 || count < 1) return {};
  const auto first = static_cast<size_t>(start - 1);
  const uint64_t end =
      std::min<uint64_t>(uint64_t{first} + static_cast<uint64_t>(count), text.size());
  const std::string_view reach = UpToZero(text.substr(0, static_cast<size_t>(end)));
  if (first >= reach.size()) return {};
  return Text(reach.substr(first));
}

int32_t TextFind(std::string_view text, std::string_view needle, int32_t start, bool ignore_case) {
  text = UpToZero(text);
  needle = UpToZero(needle);
  size_t pos = static_cast<size_t>(std::max(start, 1) - 1);
  if (needle.empty()) return pos < text.size() ? 1 : -1;
  while (pos < text.size() && text.size() - pos >= needle.size()) {
    if (MatchesAt(text, pos, needle, ignore_case)) return static_cast<int32_t>(pos + 1);
    pos += CharacterWidthAt(text, pos);
  }
  return -1;
}

Text TextReplace(std::string_view text, std::string_view search, std::string_view replacement,
                 int32_t start, std::optional<int32_t> count, bool case_sensitive) {
  text = UpToZero(text);
  search = UpToZero(search);
  replacement = UpToZero(replacement);
  const size_t first = static_cast<size_t>(std::max(start, 1) - 1);
  if (text.empty() || search.empty() || first >= text.size() || count == 0) return Text(text);
  const int64_t limit = (count && *count > 0) ? *count : std::numeric_limits<int64_t>::max();
  Text out(text.substr(0, first));
  out.reserve(text.size());
  size_t pos = first;
  int64_t replaced = 0;
  while (text.size() - pos >= search.size()) {
    if (MatchesAt(text, pos, search, !case_sensitive)) {
      out.append(replacement);
      pos += search.size();
      if (++replaced == limit) break;
    } else {
      const size_t width = CharacterWidthAt(text, pos);
      out.append(text.substr(pos, width));
      pos += width;
    }
  }
  out.append(text.substr(std::min(pos, text.size())));
  return out;
}

TextArray TextSplit(std::string_view text, std::string_view delimiter,
                    std::optional<int32_t> max_count) {
  text = UpToZero(text);
  delimiter = UpToZero(delimiter);
  const int64_t limit = max_count ? std::max(*max_count, 0) : std::numeric_limits<int64_t>::max();
  TextArray pieces;
  if (text.empty() || limit == 0) return pieces;
  if (delimiter.empty()) {
    pieces.Append(Text(text));
    return pieces;
  }
  size_t piece_start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    if (MatchesAt(text, pos, delimiter, false)) {
      pieces.Append(Text(text.substr(piece_start, pos - piece_start)));
      if (pieces.Count() >= limit) return pieces;
      pos += delimiter.size();
      piece_start = pos;
    } else {
      pos += CharacterWidthAt(text, pos);
    }
  }
  if (piece_start < text.size()) pieces.Append(Text(text.substr(piece_start)));
  return pieces;
}

int TextCompare(std::string_view a, std::string_view b) {
  const int order = UpToZero(a).compare(UpToZero(b));
  return (order > 0) - (order < 0);
}

double ToNumber(std::string_view text) {
  const std::string rewritten = RewriteFullWidth(UpToZero(text));
  const std::string_view s = rewritten;
  const size_t begin = SkipBlanks(s, 0);
  size_t pos = begin;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  const size_t int_end = SkipDigits(s, pos);
  size_t end = int_end;
  bool has_digits = int_end > pos;
  if (end < s.size() && s[end] == '.') {
    const size_t frac_end = SkipDigits(s, end + 1);
    if (has_digits || frac_end > end + 1) {
      has_digits = true;
      end = frac_end;
    }
  }
  if (!has_digits) return 0.0;
  if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
    size_t exp = end + 1;
    if (exp < s.size() && (s[exp] == '+' || s[exp] == '-')) ++exp;
    const size_t exp_end = SkipDigits(s, exp);
    if (exp_end > exp) end = exp_end;
  }
  // The span is validated above; it is read with "." whatever the process
  // locale says, and saturates on overflow.
  return ReadCDecimal(std::string(s.substr(begin, end - begin)));
}

int32_t ToInteger(std::string_view text) {
  const std::string rewritten = RewriteFullWidth(UpToZero(text));
  const std::string_view s = rewritten;
  size_t pos = SkipBlanks(s, 0);
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  int64_t value = 0;
  for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
    value = value * 10 + (s[pos] - '0');
    if (value > int64_t{1} << 32) value = int64_t{1} << 32;  // saturates below
  }
  return Saturate(static_cast<double>(negative ? -value : value));
}

int32_t ToInteger(double value) { return Saturate(std::trunc(value)); }

Text ToText(int32_t value) { return std::to_string(value); }

Text ToText(double value) {
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return error == std::errc() ? Text(buffer, end) : Text();
}

Text ToText(bool value) {
  static const Text kTrue = Gbk("真");
  static const Text kFalse = Gbk("假");
  return value ? kTrue : kFalse;
}

Text TextFromBytes(std::string_view bytes) { return Text(UpToZero(bytes)); }

Bytes ToBytes(std::string_view text) { return Bytes(UpToZero(text)); }

double RoundNumber(double value, int32_t places) {
  if (value == 0.0) return value;
  const double magnitude = std::fabs(value);
  // Widened first: the magnitude of INT32_MIN has no int32_t.
  const double scale = std::pow(10.0, std::fabs(static_cast<double>(places)));
  const double scaled = places > 0 ? magnitude * scale : places < 0 ? magnitude / scale : magnitude;
  // Past what a double can scale to: more places than it holds change
  // nothing, and a unit larger than any double leaves nothing to keep.
  if (!std::isfinite(scaled) || !std::isfinite(scale)) return places > 0 ? value : value * 0.0;
  // A value short of a half by less than 1e-12 after scaling still rounds up.
  const double nudged = scaled + 1e-12;
  const double whole = std::floor(nudged);
  const double rounded = (nudged - whole >= 0.5) ? whole + 1.0 : whole;
  const double result = places > 0 ? rounded / scale : places < 0 ? rounded * scale : rounded;
  return value < 0 ? -result : result;
}

double AbsValue(double value) { return value >= 0 ? value : -value; }

int32_t TruncateToInteger(double value) { return Saturate(std::trunc(value)); }

}  // namespace zelkor
