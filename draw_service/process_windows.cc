#include <winsock2.h>
// winsock2.h before windows.h
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "draw_service/process.h"

namespace zelkor::service {
namespace {

std::mutex stop_mutex;
std::condition_variable stop_requested;
bool stopping = false;

// Runs on a thread the system starts for each console event. Returning
// TRUE keeps the default handler (ending the process at once) away, so the
// server stops as on an interrupt elsewhere.
BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
  {
    std::lock_guard lock(stop_mutex);
    stopping = true;
  }
  stop_requested.notify_all();
  return TRUE;
}

}  // namespace

std::filesystem::path ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void HoldStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void WaitForStopRequest() {
  std::unique_lock lock(stop_mutex);
  stop_requested.wait(lock, [] { return stopping; });
}

bool PortWasInUse(int port) {
  const int error = WSAGetLastError();
  if (error == WSAEADDRINUSE || error == WSAEACCES) return true;
  // The failed bind's error may be gone by now (closing its socket can clear
  // it); a held port takes connections.
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (probe == INVALID_SOCKET) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool taken =
      connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  closesocket(probe);
  return taken;
}

}  // namespace zelkor::service
