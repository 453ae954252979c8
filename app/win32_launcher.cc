// Zelkor3D.exe: what a player starts (the Start-menu entry, the program with
// the icon in the zip). It starts the draw service installed beside it, waits
// until the service takes connections, runs the window program
// (zelkor3d-window.exe) and ends the service once the window is closed. A service already listening
// on the port (another copy running) is used as it is.
#include <winsock2.h>
//
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/startup.h"

namespace {

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

// The port of the configured draw host ("127.0.0.1:18733"), 80 without one.
u_short DrawPort() {
  const std::string& host = zelkor::BuiltInStartupConfig().draw_host;
  const size_t colon = host.rfind(':');
  return static_cast<u_short>(colon == std::string::npos ? 80 : std::stoi(host.substr(colon + 1)));
}

bool ServiceListening(u_short port) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (probe == INVALID_SOCKET) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected =
      connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  closesocket(probe);
  return connected;
}

bool Start(const std::wstring& program, DWORD flags, PROCESS_INFORMATION& process) {
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, &process) != FALSE;
}

}  // namespace

int main() {
  WSADATA winsock;
  WSAStartup(MAKEWORD(2, 2), &winsock);
  const std::wstring folder = ProgramFolder();
  const u_short port = DrawPort();

  PROCESS_INFORMATION service{};
  bool started = false;
  if (!ServiceListening(port)) {
    started = Start(folder + L"zelkor3d-draw-service.exe", CREATE_NO_WINDOW, service);
    // The service listens within moments; the window goes on after five
    // seconds without it, and then simply lists no draws.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (started && !ServiceListening(port) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }

  PROCESS_INFORMATION window{};
  DWORD exit_code = 1;
  if (Start(folder + L"" ZELKOR_WINDOW_PROGRAM, 0, window)) {
    WaitForSingleObject(window.hProcess, INFINITE);
    GetExitCodeProcess(window.hProcess, &exit_code);
    CloseHandle(window.hThread);
    CloseHandle(window.hProcess);
  }
  if (started) {
    TerminateProcess(service.hProcess, 0);
    CloseHandle(service.hThread);
    CloseHandle(service.hProcess);
  }
  WSACleanup();
  return static_cast<int>(exit_code);
}
