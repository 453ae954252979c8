#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

namespace zelkor::test_support {
namespace {

constexpr int kPollMilliseconds = 20;
// How long a connection may take to send its request head.
constexpr int kRequestMilliseconds = 5000;

// A TCP socket bound to 127.0.0.1 on an ephemeral port; returns the socket and
// stores the port.
int BindLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("cannot create a socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot bind a port on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string LoopbackUrl(int port, std::string_view path) {
  return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

// A socket bound to an ephemeral port of 127.0.0.1 (stored in `port`) and
// listening on it.
int ListenOnLoopback(int& port) {
  const int listener = BindLoopback(port);
  if (::listen(listener, SOMAXCONN) != 0) {
    ::close(listener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  return listener;
}

// The next connection accepted on `listener`, or -1 once `stopping` is set.
int NextConnection(int listener, const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd waiting{listener, POLLIN, 0};
    if (::poll(&waiting, 1, kPollMilliseconds) <= 0) continue;
    const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) return connection;
  }
  return -1;
}

}  // namespace

RawServer::RawServer(std::string answer, Connections connections, std::chrono::milliseconds trickle)
    : answer_(std::move(answer)), connections_mode_(connections), trickle_(trickle) {
  listener_ = ListenOnLoopback(port_);
  thread_ = std::thread([this] { Serve(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string RawServer::Url(std::string_view path) const { return LoopbackUrl(port_, path); }

std::vector<std::string> RawServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int RawServer::connection_count() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

void RawServer::Serve() {
  for (int connection; (connection = NextConnection(listener_, stopping_)) >= 0;) {
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    // Even a connection that brings no request gets the answer once.
    Answer(connection, ReadHead(connection));
    if (connections_mode_ == Connections::kKeepOpen) {
      for (std::string head; !stopping_ && !(head = ReadHead(connection)).empty();) {
        Answer(connection, head);
      }
    }
    // An orderly end (FIN rather than RST), so the client reads every byte sent.
    ::shutdown(connection, SHUT_WR);
    ::close(connection);
  }
}

std::string RawServer::ReadHead(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    pollfd readable{connection, POLLIN, 0};
    if (::poll(&readable, 1, kRequestMilliseconds) <= 0) break;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<size_t>(got));
  }
  return head;
}

void RawServer::Answer(int connection, const std::string& head) {
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(head);
  }
  const size_t head_end = answer_.find("\r\n\r\n");
  // Trickling, the head goes at once; an answer with no end to its head
  // trickles from its first byte.
  const size_t at_once = trickle_.count() == 0           ? answer_.size()
                         : head_end != std::string::npos ? head_end + 4
                                                         : 0;
  size_t sent = 0;
  while (sent < answer_.size() && !stopping_) {
    if (sent >= at_once) std::this_thread::sleep_for(trickle_);
    const size_t chunk = sent < at_once ? at_once - sent : 1;
    const ssize_t put = ::send(connection, answer_.data() + sent, chunk, MSG_NOSIGNAL);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    sent += static_cast<size_t>(put);
  }
}

SilentServer::SilentServer() {
  listener_ = ListenOnLoopback(port_);
  thread_ = std::thread([this] { Serve(); });
}

SilentServer::~SilentServer() {
  stopping_ = true;
  thread_.join();
  for (int connection : connections_) ::close(connection);
  ::close(listener_);
}

std::string SilentServer::Url(std::string_view path) const { return LoopbackUrl(port_, path); }

int SilentServer::connection_count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(connections_.size());
}

void SilentServer::Serve() {
  for (int connection; (connection = NextConnection(listener_, stopping_)) >= 0;) {
    std::lock_guard lock(mutex_);
    connections_.push_back(connection);
  }
}

RefusingPort::RefusingPort() { socket_ = BindLoopback(port_); }

RefusingPort::~RefusingPort() { ::close(socket_); }

std::string RefusingPort::Url(std::string_view path) const { return LoopbackUrl(port_, path); }

}  // namespace zelkor::test_support
