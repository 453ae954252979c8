// Byte-level loopback helpers for tests that need to see a request exactly as
// it was sent, or to answer with bytes no well-behaved HTTP server would send
// (a body cut short, a malformed head).
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zelkor::test_support {

// A TCP server on 127.0.0.1 with an ephemeral port. For every connection, one
// at a time, it reads the request head (up to and including the first empty
// line, or what came within 5 s), records it byte for byte, writes `answer`
// unchanged and closes the connection. An answer with a Content-Length larger
// than its body is a transfer that breaks off.
class RawServer {
 public:
  // Throws std::runtime_error when no port could be had.
  explicit RawServer(std::string answer);
  // Stops accepting and waits for the server thread.
  ~RawServer();

  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  [[nodiscard]] std::string Url(std::string_view path) const;
  // The request head of every connection handled so far, in order.
  [[nodiscard]] std::vector<std::string> requests() const;
  // The number of connections accepted so far.
  [[nodiscard]] int connection_count() const;

 private:
  void Serve();
  void Answer(int connection);

  std::string answer_;
  int listener_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  int connections_ = 0;
};

// A port on 127.0.0.1 that refuses every connection for as long as the object
// lives: the port is bound, so nobody else gets it, but never listened on.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();

  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  [[nodiscard]] int port() const { return port_; }
  [[nodiscard]] std::string Url(std::string_view path) const;

 private:
  int socket_ = -1;
  int port_ = -1;
};

}  // namespace zelkor::test_support
