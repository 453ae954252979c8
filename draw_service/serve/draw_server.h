// An HTTP server for a service that any program on the machine, and any web
// page open in a browser, can send requests to: it bounds what one request
// may cost, refuses bodies and requests addressed to another host, ignores
// ranges, never shares its port, and names itself in every answer.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace zelkor::service {

// The name every answer carries in its Server header, by which a launcher
// tells the service from another program holding the port.
inline constexpr std::string_view kServerName = "zelkor3d-draw-service";

// What one request may cost before it is refused and its connection closed.
struct RequestLimits {
  // The request line, the header lines and the blank line ending them
  // (431 beyond either).
  size_t max_head_bytes = size_t{16} << 10;
  size_t max_header_lines = 100;
  // From a request's first byte to the end of its head (408 beyond).
  std::chrono::milliseconds head_time{5000};
};

// An httplib::Server on one loopback port that holds to RequestLimits; it
// uses the pre-routing, post-routing and Expect handlers itself. A connection
// takes one of many workers, so that a few slow clients do not hold up the
// others; when connections wait for a worker, connections idle between
// requests give theirs up first.
class DrawServer : public httplib::Server {
 public:
  // Answers only requests whose Host is 127.0.0.1:`port` or localhost:`port`
  // (421 otherwise), so that a page of another site reached through a name
  // resolving to 127.0.0.1 cannot read the service.
  explicit DrawServer(int port, RequestLimits limits = {});

  // Takes a body of at most `max_bytes` (with a Content-Length) on POST
  // requests to exactly `path`; every other request with a body is refused
  // (413). Call before serving.
  void TakeFormsAt(std::string path, size_t max_bytes);

  // Binds 127.0.0.1:port without letting another socket share it; false when
  // it cannot.
  [[nodiscard]] bool Bind();

  // Whether accepted connections are waiting for a worker.
  [[nodiscard]] bool WorkersShort() const { return waiting_for_worker_ > 0; }

 private:
  bool process_and_close_socket(socket_t sock) override;

  // Whether `request` may have the body it announces.
  [[nodiscard]] bool BodyTaken(const httplib::Request& request) const;

  int port_;
  RequestLimits limits_;
  std::atomic<size_t> waiting_for_worker_ = 0;
  std::string form_path_;
  size_t max_form_bytes_ = 0;
};

}  // namespace zelkor::service
