// zelkor3d-window-probe: looks at a running Zelkor3D window from outside, as
// Windows itself would, for the tests of what a player installs.
//
//   zelkor3d-window-probe target SHORTCUT.lnk   the program a shortcut starts
//   zelkor3d-window-probe rows SECONDS          waits for the window to list
//                                               draws; prints their count
//   zelkor3d-window-probe close                 closes the window (WM_CLOSE)
#include <windows.h>
//
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

HWND MainWindow() { return FindWindowW(L"Zelkor3DMainWindow", nullptr); }

int Target(const wchar_t* shortcut) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = L"";
  bool found = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
               SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
               SUCCEEDED(file->Load(shortcut, STGM_READ)) &&
               link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK;
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  CoUninitialize();
  if (!found) return 1;
  std::printf("%ls\n", target);
  return 0;
}

// The count once it has stayed the same for half a second: the window lists
// its draws right after it is shown.
int Rows(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  LRESULT last = -1;
  int same = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    HWND list = FindWindowExW(MainWindow(), nullptr, WC_LISTVIEWW, nullptr);
    const LRESULT rows = list != nullptr ? SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : -1;
    same = rows == last && rows > 0 ? same + 1 : 0;
    last = rows;
    if (same == 10) {
      std::printf("%ld\n", static_cast<long>(rows));
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::printf("%ld\n", static_cast<long>(last));
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"target" && argc == 3) return Target(argv[2]);
  if (command == L"rows" && argc == 3) return Rows(_wtoi(argv[2]));
  if (command == L"close" && argc == 2) {
    HWND window = MainWindow();
    return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: zelkor3d-window-probe target LNK | rows SECONDS | close\n");
  return 2;
}
