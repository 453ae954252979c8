#include "draw_service/serve/socket_calls.h"

namespace zelkor::service {

int SendFlags() { return 0; }

int WaitForSocket(socket_t sock, SocketEvent event, int timeout_ms) {
  pollfd descriptor{};
  descriptor.fd = sock;
  descriptor.events = event == SocketEvent::kReadable ? POLLIN : POLLOUT;
  return WSAPoll(&descriptor, 1, timeout_ms);
}

void ShutDownSending(socket_t sock) { shutdown(sock, SD_SEND); }
void ShutDownBoth(socket_t sock) { shutdown(sock, SD_BOTH); }

void HoldPortAlone(socket_t sock) {
  // Windows lets a second program bind a held port unless it is held
  // exclusively, even one that asks to share it.
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
             sizeof(yes));
}

}  // namespace zelkor::service
