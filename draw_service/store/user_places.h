// Where the player's own files live, outside the install folder so that
// updates and uninstalls leave them alone.
#pragma once

#include <filesystem>

namespace zelkor::service {

// The folder of the player's draw store: $XDG_DATA_HOME/zelkor3d (default
// ~/.local/share/zelkor3d) on Linux, %LOCALAPPDATA%\Zelkor3D on Windows.
// Empty when the system names no such place.
[[nodiscard]] std::filesystem::path StoreFolder();

// The service's settings file: $XDG_CONFIG_HOME/zelkor3d/draw-service.conf
// (default ~/.config/...) on Linux, %APPDATA%\Zelkor3D\draw-service.conf on
// Windows. Empty when the system names no such place.
[[nodiscard]] std::filesystem::path SettingsFile();

}  // namespace zelkor::service
