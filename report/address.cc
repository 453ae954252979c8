#include "report/address.h"

#include <algorithm>
#include <string>

#include "backtest/wording.h"

namespace zelkor {

bool IsHttpAddress(std::string_view address) {
  const std::string lower = AsciiLower(address);
  size_t rest = 0;
  if (lower.starts_with("http://")) {
    rest = 7;
  } else if (lower.starts_with("https://")) {
    rest = 8;
  } else {
    return false;
  }
  // The authority runs to the first "/", "?" or "#"; its host is what is
  // left after any "user@" and before any ":port".
  const std::string_view tail = address.substr(rest);
  std::string_view authority = tail.substr(0, tail.find_first_of("/?#"));
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority = authority.substr(at + 1);
  }
  std::string_view host = authority;
  if (host.starts_with("[")) {
    const size_t close = host.find(']');
    if (close == std::string_view::npos || close == 1) return false;
    host = host.substr(1, close - 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7F && c != '%' && c != '!' && c != '"' && c != '<' &&
           c != '>' && c != '\\' && c != '^' && c != '`' && c != '{' && c != '|' && c != '}';
  });
}

}  // namespace zelkor
