#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace zelkor::test_support {
namespace {

// Connects to 127.0.0.1:`port`; -1 with errno set when that fails.
int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// Sends `request` and reads until the server closes.
std::string Exchange(int port, const std::string& request) {
  const int fd = Connect(port);
  if (fd < 0) return "connect failed";
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string answer;
  char buffer[1024];
  for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    answer.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return answer;
}

TEST(RawServerTest, RecordsEachRequestHeadAndSendsTheAnswerUnchanged) {
  const char kAnswer[] = "HTTP/1.0 200 OK\r\nContent-Length: 99\r\n\r\ncut\0short";
  const std::string answer(kAnswer, sizeof kAnswer - 1);
  RawServer server(answer);

  EXPECT_EQ(Exchange(server.port(), "GET /a HTTP/1.0\r\nX-One: 1\r\n\r\n"), answer);
  EXPECT_EQ(Exchange(server.port(), "GET /b HTTP/1.0\r\n\r\n"), answer);

  EXPECT_EQ(server.requests(), (std::vector<std::string>{"GET /a HTTP/1.0\r\nX-One: 1\r\n\r\n",
                                                         "GET /b HTTP/1.0\r\n\r\n"}));
  EXPECT_EQ(server.connection_count(), 2);
}

TEST(RawServerTest, KeptConnectionAnswersEveryRequestOnIt) {
  const std::string answer = "HTTP/1.1 204 No Content\r\n\r\n";
  const std::string requests[] = {"GET /a HTTP/1.1\r\n\r\n", "GET /b HTTP/1.1\r\n\r\n"};
  RawServer server(answer, RawServer::Connections::kKeepOpen);
  // Two connections in turn, two requests on each: the second is served once
  // the first is closed.
  for (int round = 0; round < 2; ++round) {
    const int fd = Connect(server.port());
    ASSERT_GE(fd, 0);
    for (const std::string& request : requests) {
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
      std::string got(answer.size(), '\0');
      ASSERT_EQ(::recv(fd, got.data(), got.size(), MSG_WAITALL), static_cast<ssize_t>(got.size()));
      EXPECT_EQ(got, answer);
    }
    ::close(fd);
  }
  EXPECT_EQ(server.requests(),
            (std::vector<std::string>{requests[0], requests[1], requests[0], requests[1]}));
  EXPECT_EQ(server.connection_count(), 2);
}

TEST(RawServerTest, CountsNoConnectionsUntilOneArrives) {
  RawServer server("");
  EXPECT_EQ(server.connection_count(), 0);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(server.Url("/p"), "http://127.0.0.1:" + std::to_string(server.port()) + "/p");
}

TEST(SilentServerTest, AcceptsAndNeverAnswersUntilDestroyed) {
  int fd = -1;
  {
    SilentServer server;
    EXPECT_EQ(server.Url("/p"), "http://127.0.0.1:" + std::to_string(server.port()) + "/p");
    fd = Connect(server.port());
    ASSERT_GE(fd, 0);
    const std::string request = "GET /p HTTP/1.0\r\n\r\n";
    ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(request.size()));
    // Neither a byte nor the end of the connection comes while it lives.
    pollfd readable{fd, POLLIN, 0};
    EXPECT_EQ(::poll(&readable, 1, 300), 0);
    EXPECT_EQ(server.connection_count(), 1);
  }
  // Gone with the server: an end or a reset (the request was never read).
  pollfd readable{fd, POLLIN, 0};
  EXPECT_EQ(::poll(&readable, 1, 5000), 1);
  char byte;
  EXPECT_LE(::recv(fd, &byte, 1, 0), 0);
  ::close(fd);
}

TEST(RefusingPortTest, RefusesConnections) {
  RefusingPort refusing;
  ASSERT_GT(refusing.port(), 0);
  EXPECT_EQ(Connect(refusing.port()), -1);
  EXPECT_EQ(errno, ECONNREFUSED);
}

}  // namespace
}  // namespace zelkor::test_support
