// The service's settings file: one "key = value" a line, comments from '#'
// or ';' at the start of a line, blank lines ignored. The one key so far:
//   upstream = http://127.0.0.1:8080/list.xml
// which may come any number of times.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zelkor::service {

struct Settings {
  std::vector<std::string> upstreams;
  // One line per line not understood ("draw-service.conf:3: ..."), to log;
  // such a line is skipped so that the rest still holds.
  std::vector<std::string> warnings;
};

// The settings of `text`; `name` prefixes each warning.
[[nodiscard]] Settings ParseSettings(std::string_view text, std::string_view name);

// The settings of the file at `path`; no file is no settings.
[[nodiscard]] Settings ReadSettings(const std::filesystem::path& path);

// True when `address` starts with http:// or https:// (in any case): the only
// addresses an upstream may have.
[[nodiscard]] bool IsWebAddress(std::string_view address);

}  // namespace zelkor::service
