#include <poll.h>
#include <sys/socket.h>

#include "draw_service/serve/socket_calls.h"

namespace zelkor::service {

int SendFlags() { return MSG_NOSIGNAL; }

int WaitForSocket(socket_t sock, SocketEvent event, int timeout_ms) {
  pollfd descriptor{};
  descriptor.fd = sock;
  descriptor.events = event == SocketEvent::kReadable ? POLLIN : POLLOUT;
  return poll(&descriptor, 1, timeout_ms);
}

void ShutDownSending(socket_t sock) { shutdown(sock, SHUT_WR); }
void ShutDownBoth(socket_t sock) { shutdown(sock, SHUT_RDWR); }

void HoldPortAlone(socket_t sock) {
  // Without SO_REUSEPORT (which httplib sets by default) a second program
  // cannot bind the port; SO_REUSEADDR only lets it be bound again while old
  // connections linger.
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

}  // namespace zelkor::service
