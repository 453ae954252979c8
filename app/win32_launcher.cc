// Zelkor3D.exe: what a player starts (the Start-menu entry, the program with
// the icon in the zip). It starts the draw service installed beside it, waits
// until the service takes connections, runs the window program
// (zelkor3d-window.exe) and ends the service once the window is closed. A
// service already listening on the port (another copy running) is used as it
// is; another program holding the port is named to the player in a message
// box, and no window opens (it would show that program's answers as draws).
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

// kSilent: something took the connection but said nothing within the probe's
// three seconds.
enum class PortHolder { kNone, kService, kSilent, kOther };

// What listens on the port: the draw service names itself in the Server
// header of every answer, at once.
PortHolder Holder(u_short port) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (probe == INVALID_SOCKET) return PortHolder::kNone;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    closesocket(probe);
    return PortHolder::kNone;
  }
  const DWORD timeout_ms = 3000;
  setsockopt(probe, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout_ms),
             sizeof(timeout_ms));
  const std::string request = "HEAD / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nConnection: close\r\n\r\n";
  send(probe, request.data(), static_cast<int>(request.size()), 0);
  std::string answer;
  char buffer[1024];
  int got = 0;
  while (answer.size() < 4096 && (got = recv(probe, buffer, sizeof(buffer), 0)) > 0) {
    answer.append(buffer, static_cast<size_t>(got));
  }
  closesocket(probe);
  if (answer.find("\r\nServer: zelkor3d-draw-service\r\n") != std::string::npos) {
    return PortHolder::kService;
  }
  return answer.empty() ? PortHolder::kSilent : PortHolder::kOther;
}

int TellPortHeld(u_short port) {
  const std::wstring text = L"端口 " + std::to_wstring(port) +
                            L" 已被其他程序占用,无法取得开奖数据。请关闭占用该端口的程序后再启动 "
                            L"Zelkor3D。";
  MessageBoxW(nullptr, text.c_str(), L"Zelkor3D", MB_OK | MB_ICONERROR);
  WSACleanup();
  return 1;
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
  PortHolder holder = Holder(port);
  // A holder that stays silent through a few probes is no draw service.
  for (int probe = 0; probe < 2 && holder == PortHolder::kSilent; ++probe) holder = Holder(port);
  if (holder == PortHolder::kNone) {
    started = Start(folder + L"zelkor3d-draw-service.exe", CREATE_NO_WINDOW, service);
    // The service listens within moments; while it runs, a port not yet
    // answered is still its own and is waited for, never taken for another
    // program. The window goes on after fifteen seconds without an answer,
    // and then simply lists no draws.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (started && std::chrono::steady_clock::now() < deadline) {
      holder = Holder(port);
      if (holder == PortHolder::kService || holder == PortHolder::kOther) break;
      if (WaitForSingleObject(service.hProcess, 0) != WAIT_TIMEOUT) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
  // A silent holder is another program unless it may be the service started
  // here, still running.
  const bool own_running = started && WaitForSingleObject(service.hProcess, 0) == WAIT_TIMEOUT;
  if (holder == PortHolder::kOther || (holder == PortHolder::kSilent && !own_running)) {
    if (started) {
      TerminateProcess(service.hProcess, 0);
      CloseHandle(service.hThread);
      CloseHandle(service.hProcess);
    }
    return TellPortHeld(port);
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
