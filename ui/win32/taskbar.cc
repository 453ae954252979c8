#include "ui/win32/taskbar.h"

#include <shellapi.h>
#include <shobjidl.h>

namespace zelkor::win32 {
namespace {

// The shell's AppUserModel properties (propkey.h), made here so that no
// GUID library is needed.
constexpr GUID kAppUserModel{
    0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}};
constexpr PROPERTYKEY kRelaunchCommand{kAppUserModel, 2};
constexpr PROPERTYKEY kRelaunchIconResource{kAppUserModel, 3};
constexpr PROPERTYKEY kRelaunchDisplayNameResource{kAppUserModel, 4};
constexpr PROPERTYKEY kId{kAppUserModel, 5};

bool SetText(IPropertyStore& store, const PROPERTYKEY& key, const std::wstring& text) {
  // The store copies the value.
  PROPVARIANT value{};
  value.vt = VT_LPWSTR;
  value.pwszVal = const_cast<wchar_t*>(text.c_str());
  return SUCCEEDED(store.SetValue(key, value));
}

}  // namespace

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

void JoinTaskbarGroup() { (void)SetCurrentProcessExplicitAppUserModelID(kAppUserModelId); }

bool WriteTaskbarIdentity(IPropertyStore& store) {
  // The relaunch command and its name and icon go before the ID, which the
  // taskbar reads them with.
  return SetText(store, kRelaunchCommand, L"\"" + ProgramFolder() + L"Zelkor3D.exe\"") &&
         SetText(store, kRelaunchDisplayNameResource, L"Zelkor3D") &&
         SetText(store, kRelaunchIconResource, ProgramFolder() + L"Zelkor3D.exe,-1") &&
         SetText(store, kId, kAppUserModelId);
}

bool SetTaskbarIdentity(HWND window) {
  IPropertyStore* store = nullptr;
  if (FAILED(SHGetPropertyStoreForWindow(window, IID_IPropertyStore,
                                         reinterpret_cast<void**>(&store)))) {
    return false;
  }
  const bool set = WriteTaskbarIdentity(*store) && SUCCEEDED(store->Commit());
  store->Release();
  return set;
}

}  // namespace zelkor::win32
