#include "draw_service/update/settings.h"

#include <system_error>

#include "runtime/read_file.h"

namespace zelkor::service {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsWebAddress(std::string_view address) {
  return StartsWithAnyCase(address, "http://") || StartsWithAnyCase(address, "https://");
}

Settings ParseSettings(std::string_view text, std::string_view name) {
  Settings settings;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++number;
    const size_t end = text.find('\n', start);
    const std::string_view line =
        Trim(text.substr(start, end == std::string_view::npos ? end : end - start));
    start = end == std::string_view::npos ? text.size() : end + 1;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    const std::string where = std::string(name) + ":" + std::to_string(number) + ": ";
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      settings.warnings.push_back(where + "expected key = value; line skipped");
      continue;
    }
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (key != "upstream") {
      settings.warnings.push_back(where + "unknown setting '" + std::string(key) + "' skipped");
    } else if (value.empty()) {
      settings.warnings.push_back(where + "upstream without an address skipped");
    } else if (!IsWebAddress(value)) {
      settings.warnings.push_back(where + "upstream '" + std::string(value) +
                                  "' is not an http:// or https:// address; skipped");
    } else {
      settings.upstreams.emplace_back(value);
    }
  }
  return settings;
}

Settings ReadSettings(const std::filesystem::path& path) {
  std::error_code code;
  if (path.empty() || !std::filesystem::exists(path, code)) return {};
  const std::u8string u8name = path.u8string();
  const std::string name(u8name.begin(), u8name.end());
  std::string text;
  if (std::string reason = ReadFileCapped(path, text); !reason.empty()) {
    return {{}, {name + ": " + reason}};
  }
  return ParseSettings(text, name);
}

}  // namespace zelkor::service
