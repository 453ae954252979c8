#include <cstdlib>
#include <string>

#include "draw_service/store/user_places.h"

namespace zelkor::service {
namespace {

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are to be ignored), else the default under the home folder.
std::filesystem::path BaseFolder(const char* variable, const char* home_default) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::filesystem::path(home) / home_default;
}

}  // namespace

std::filesystem::path StoreFolder() {
  const std::filesystem::path base = BaseFolder("XDG_DATA_HOME", ".local/share");
  return base.empty() ? base : base / "zelkor3d";
}

std::filesystem::path SettingsFile() {
  const std::filesystem::path base = BaseFolder("XDG_CONFIG_HOME", ".config");
  return base.empty() ? base : base / "zelkor3d" / "draw-service.conf";
}

}  // namespace zelkor::service
