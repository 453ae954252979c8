#include "draw_service/serve/draw_server.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "draw_service/serve/socket_calls.h"

namespace zelkor::service {
namespace {

// Enough workers that many idle or slow connections (each held for at most
// the head time) leave some free for everyone else.
constexpr size_t kWorkers = 128;

// How long and how much a refused connection is read on before it is closed.
constexpr std::chrono::milliseconds kLingerTime{500};
constexpr size_t kMaxLingerBytes = size_t{256} << 10;

// Connections waiting to be accepted.
constexpr int kBacklog = 512;

// How long a stop may go unnoticed by a worker waiting on its connection.
constexpr int kStopCheckMs = 100;

// How long a connection idle between requests keeps its worker while others
// wait for one, and how often it looks whether others wait. A new connection
// gets longer for its first request: its client may still be on its way to
// sending it while the machine is busy.
constexpr std::chrono::milliseconds kIdleGrace{50};
constexpr std::chrono::milliseconds kFirstRequestGrace{250};
constexpr std::chrono::milliseconds kIdleCheck{25};

// The workers, counting the connections that wait for one.
class CountingPool final : public httplib::TaskQueue {
 public:
  CountingPool(size_t workers, std::atomic<size_t>& waiting) : pool_(workers), waiting_(waiting) {}
  void enqueue(std::function<void()> task) override {
    ++waiting_;
    pool_.enqueue([this, task = std::move(task)] {
      --waiting_;
      task();
    });
  }
  void shutdown() override { pool_.shutdown(); }

 private:
  httplib::ThreadPool pool_;
  std::atomic<size_t>& waiting_;
};

const char* StatusText(int status) {
  switch (status) {
    case 408:
      return "Request Timeout";
    case 413:
      return "Content Too Large";
    case 421:
      return "Misdirected Request";
    default:
      return "Request Header Fields Too Large";
  }
}

void NumericAddress(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
  std::array<char, NI_MAXHOST> host{};
  std::array<char, NI_MAXSERV> service{};
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host.data(),
                  static_cast<socklen_t>(host.size()), service.data(),
                  static_cast<socklen_t>(service.size()), NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host.data();
    port = std::stoi(service.data());
  }
}

// One connection as httplib reads and writes it, counting what each request's
// head costs. Past a limit, reading fails and the connection holds the status
// to refuse the request with.
class Connection final : public httplib::Stream {
 public:
  Connection(socket_t sock, const RequestLimits& limits, const DrawServer& server,
             int write_timeout_ms)
      : sock_(sock), limits_(limits), server_(server), write_timeout_ms_(write_timeout_ms) {}

  // Waits up to `timeout_ms` for a next request to begin, then starts its
  // head's budget and clock; false when none begins, the server stops, or
  // other connections wait for a worker past this one's grace.
  [[nodiscard]] bool AwaitRequest(int timeout_ms) {
    const auto start = Clock::now();
    const auto grace = requests_ == 0 ? kFirstRequestGrace : kIdleGrace;
    const auto until = start + std::chrono::milliseconds(timeout_ms);
    while (begin_ == end_) {
      if (Wait(SocketEvent::kReadable, std::min(until, Clock::now() + kIdleCheck))) break;
      const auto now = Clock::now();
      if (now >= until || !server_.is_running()) return false;
      if (server_.WorkersShort() && now - start >= grace) return false;
    }
    ++requests_;
    head_bytes_ = 0;
    head_lines_ = 0;
    deadline_ = Clock::now() + limits_.head_time;
    return true;
  }

  // The status the current request is refused with; 0 when it is not.
  [[nodiscard]] int refusal() const { return refusal_; }
  // Whether the connection closes after the current answer.
  [[nodiscard]] bool closing() const { return closing_ || refusal_ != 0; }
  void CloseAfterAnswer() { closing_ = true; }
  // Called as httplib answers: a refused request gets its refusal's status.
  void OnAnswer(httplib::Response& response) {
    if (refusal_ != 0) {
      response.status = refusal_;
      answered_ = true;
    }
    if (closing()) response.set_header("Connection", "close");
  }

  // Answers a refused request httplib gave up on before answering.
  void AnswerRefusalIfUnanswered() {
    if (refusal_ == 0 || answered_) return;
    answered_ = true;
    std::string answer = "HTTP/1.1 ";
    answer.append(std::to_string(refusal_)).append(" ").append(StatusText(refusal_));
    answer.append("\r\nServer: ").append(kServerName);
    answer.append("\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    for (size_t done = 0; done < answer.size();) {
      const ssize_t sent = write(answer.data() + done, answer.size() - done);
      if (sent <= 0) return;
      done += static_cast<size_t>(sent);
    }
  }

  // Ends the sending side after a refusal, then reads for a short while what
  // the client still sends: closing with unread input would reset the
  // connection and could lose the answer before the client reads it.
  void Linger() {
    ShutDownSending(sock_);
    const auto until = Clock::now() + kLingerTime;
    for (size_t read = 0; read < kMaxLingerBytes && Wait(SocketEvent::kReadable, until);) {
      const ssize_t got = httplib::detail::read_socket(sock_, buffer_.data(), buffer_.size(), 0);
      if (got <= 0) return;
      read += static_cast<size_t>(got);
    }
  }

  bool is_readable() const override {
    return begin_ != end_ || const_cast<Connection*>(this)->Wait(SocketEvent::kReadable, deadline_);
  }
  bool is_writable() const override {
    return const_cast<Connection*>(this)->Wait(
        SocketEvent::kWritable, Clock::now() + std::chrono::milliseconds(write_timeout_ms_));
  }

  ssize_t read(char* ptr, size_t size) override {
    if (refusal_ != 0) return -1;
    if (begin_ == end_) {
      if (!Wait(SocketEvent::kReadable, deadline_)) {
        if (Clock::now() >= deadline_) refusal_ = 408;
        return -1;
      }
      const ssize_t got = httplib::detail::read_socket(sock_, buffer_.data(), buffer_.size(), 0);
      if (got <= 0) return got;
      begin_ = 0;
      end_ = static_cast<size_t>(got);
    }
    const size_t count = std::min({size, end_ - begin_, limits_.max_head_bytes - head_bytes_});
    if (count == 0) {
      refusal_ = 431;
      return -1;
    }
    // The request line and the blank line are lines of the head too.
    head_lines_ += static_cast<size_t>(
        std::count(buffer_.data() + begin_, buffer_.data() + begin_ + count, '\n'));
    if (head_lines_ > limits_.max_header_lines + 2) {
      refusal_ = 431;
      return -1;
    }
    std::copy_n(buffer_.data() + begin_, count, ptr);
    begin_ += count;
    head_bytes_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    return httplib::detail::send_socket(sock_, ptr, size, SendFlags());
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      NumericAddress(address, length, ip, port);
    }
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      NumericAddress(address, length, ip, port);
    }
  }
  socket_t socket() const override { return sock_; }

 private:
  using Clock = std::chrono::steady_clock;

  // Waits until the socket is ready for `event` or `deadline` passes, in
  // slices so that a stopping server is noticed.
  bool Wait(SocketEvent event, Clock::time_point deadline) {
    for (;;) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0 || !server_.is_running()) return false;
      const int ready =
          WaitForSocket(sock_, event, static_cast<int>(std::min<long long>(left, kStopCheckMs)));
      if (ready < 0) return false;
      if (ready > 0) return true;
    }
  }

  socket_t sock_;
  const RequestLimits& limits_;
  const DrawServer& server_;
  int write_timeout_ms_;
  std::array<char, 4096> buffer_{};
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t head_bytes_ = 0;
  size_t head_lines_ = 0;
  Clock::time_point deadline_ = Clock::now();
  int refusal_ = 0;
  size_t requests_ = 0;
  bool answered_ = false;
  bool closing_ = false;
};

// The connection the calling worker serves (handlers run on it).
thread_local Connection* current_connection = nullptr;

bool IsOwnHost(std::string host, int port) {
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  });
  const size_t colon = host.rfind(':');
  if (colon == std::string::npos || host.substr(colon + 1) != std::to_string(port)) return false;
  const std::string_view name = std::string_view(host).substr(0, colon);
  return name == "127.0.0.1" || name == "localhost";
}

bool HasBody(const httplib::Request& request) {
  return request.has_header("Transfer-Encoding") ||
         (request.has_header("Content-Length") &&
          request.get_header_value("Content-Length") != "0");
}

}  // namespace

DrawServer::DrawServer(int port, RequestLimits limits) : port_(port), limits_(limits) {
  new_task_queue = [this] { return new CountingPool(kWorkers, waiting_for_worker_); };
  set_default_headers({{"Server", std::string(kServerName)}});
  set_socket_options(HoldPortAlone);
  set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    if (!IsOwnHost(request.get_header_value("Host"), port_)) {
      response.status = 421;
    } else if (HasBody(request) && !BodyTaken(request)) {
      // No other route takes a body; the rest of it is never read.
      response.status = 413;
    } else {
      return HandlerResponse::Unhandled;
    }
    if (current_connection != nullptr) current_connection->CloseAfterAnswer();
    return HandlerResponse::Handled;
  });
  set_expect_100_continue_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        if (BodyTaken(request) && IsOwnHost(request.get_header_value("Host"), port_)) return 100;
        response.status = 413;
        if (current_connection != nullptr) current_connection->CloseAfterAnswer();
        return 413;
      });
  set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
    // httplib offers ranges on a HEAD answer; they are ignored here.
    if (response.has_header("Accept-Ranges")) {
      response.headers.erase("Accept-Ranges");
      response.set_header("Accept-Ranges", "none");
    }
    if (current_connection != nullptr) current_connection->OnAnswer(response);
  });
}

void DrawServer::TakeFormsAt(std::string path, size_t max_bytes) {
  form_path_ = std::move(path);
  max_form_bytes_ = max_bytes;
  set_payload_max_length(max_bytes);
}

bool DrawServer::BodyTaken(const httplib::Request& request) const {
  if (form_path_.empty() || request.method != "POST" || request.path != form_path_ ||
      request.has_header("Transfer-Encoding") || !request.has_header("Content-Length")) {
    return false;
  }
  const std::string length = request.get_header_value("Content-Length");
  return !length.empty() && length.size() <= 9 &&
         length.find_first_not_of("0123456789") == std::string::npos &&
         std::stoul(length) <= max_form_bytes_;
}

bool DrawServer::Bind() {
  if (!bind_to_port("127.0.0.1", port_)) return false;
  // httplib listens with a backlog of 5: many clients connecting at once
  // would overflow it, and the system then answers some of them only in part.
  return ::listen(svr_sock_, kBacklog) == 0;
}

bool DrawServer::process_and_close_socket(socket_t sock) {
  const int write_timeout_ms =
      static_cast<int>(write_timeout_sec_ * 1000 + write_timeout_usec_ / 1000);
  Connection connection(sock, limits_, *this, write_timeout_ms);
  current_connection = &connection;
  bool served = false;
  for (size_t left = keep_alive_max_count_; left > 0; --left) {
    if (!connection.AwaitRequest(static_cast<int>(keep_alive_timeout_sec_ * 1000))) break;
    bool closed = false;
    // Ranges are ignored (as HTTP allows): none of the documents needs them,
    // and many ranges of one document would make one answer huge.
    served = process_request(connection, left == 1, closed,
                             [](httplib::Request& request) { request.ranges.clear(); });
    connection.AnswerRefusalIfUnanswered();
    if (!served || closed || connection.closing()) break;
  }
  current_connection = nullptr;
  if (connection.closing()) connection.Linger();
  ShutDownBoth(sock);
  httplib::detail::close_socket(sock);
  return served;
}

}  // namespace zelkor::service
