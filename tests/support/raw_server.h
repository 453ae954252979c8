// Byte-level loopback helpers for tests that need to see a request exactly as
// it was sent, to answer with bytes no well-behaved HTTP server would send
// (a body cut short, a malformed head), or to never answer at all.
#pragma once

#include <atomic>
#include <chrono>
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
  // kKeepOpen answers every further request head that comes on the same
  // connection as well, as a server keeping connections alive would, until
  // the client closes it or sends nothing for 5 s.
  enum class Connections { kOneAnswer, kKeepOpen };

  // Throws std::runtime_error when no port could be had. A `trickle` above
  // zero sends the answer's head at once and then its body one byte per
  // `trickle`, as a server that keeps a transfer barely alive would; an
  // answer whose head never ends trickles from its first byte.
  explicit RawServer(std::string answer, Connections connections = Connections::kOneAnswer,
                     std::chrono::milliseconds trickle = std::chrono::milliseconds(0));
  // Stops accepting and waits for the server thread.
  ~RawServer();

  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  [[nodiscard]] std::string Url(std::string_view path) const;
  // Every request head received so far, in order.
  [[nodiscard]] std::vector<std::string> requests() const;
  // The number of connections accepted so far.
  [[nodiscard]] int connection_count() const;

 private:
  void Serve();
  // The next request head on `connection`: up to and including the first
  // empty line, or what came within 5 s (nothing when the client closed).
  std::string ReadHead(int connection);
  // Records `head` and writes the answer.
  void Answer(int connection, const std::string& head);

  std::string answer_;
  Connections connections_mode_;
  std::chrono::milliseconds trickle_;
  int listener_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  int connections_ = 0;
};

// A TCP server on 127.0.0.1 with an ephemeral port that accepts every
// connection and then neither reads nor writes: each connection stays open
// and silent until the object is destroyed, so a client waits for an answer
// that never comes.
class SilentServer {
 public:
  // Throws std::runtime_error when no port could be had.
  SilentServer();
  // Stops accepting, waits for the server thread and closes every connection.
  ~SilentServer();

  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  [[nodiscard]] std::string Url(std::string_view path) const;
  // The number of connections accepted so far.
  [[nodiscard]] int connection_count() const;

 private:
  void Serve();

  int listener_ = -1;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<int> connections_;
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
