#include <windows.h>
//
#include <shlobj.h>

#include <string>

#include "draw_service/store/user_places.h"

namespace zelkor::service {
namespace {

// The environment's name for the folder, which is what a player (and a
// test) sees and can point elsewhere; the shell's known folder otherwise.
std::filesystem::path KnownFolder(const wchar_t* variable, REFKNOWNFOLDERID id) {
  std::wstring value(MAX_PATH, L'\0');
  const DWORD length =
      GetEnvironmentVariableW(variable, value.data(), static_cast<DWORD>(value.size()));
  if (length > 0 && length < value.size()) {
    value.resize(length);
    return value;
  }
  PWSTR path = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::filesystem::path StoreFolder() {
  const std::filesystem::path base = KnownFolder(L"LOCALAPPDATA", FOLDERID_LocalAppData);
  return base.empty() ? base : base / L"Zelkor3D";
}

std::filesystem::path SettingsFile() {
  const std::filesystem::path base = KnownFolder(L"APPDATA", FOLDERID_RoamingAppData);
  return base.empty() ? base : base / L"Zelkor3D" / L"draw-service.conf";
}

}  // namespace zelkor::service
