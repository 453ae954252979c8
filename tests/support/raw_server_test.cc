#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
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

TEST(RawServerTest, CountsNoConnectionsUntilOneArrives) {
  RawServer server("");
  EXPECT_EQ(server.connection_count(), 0);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(server.Url("/p"), "http://127.0.0.1:" + std::to_string(server.port()) + "/p");
}

TEST(RefusingPortTest, RefusesConnections) {
  RefusingPort refusing;
  ASSERT_GT(refusing.port(), 0);
  EXPECT_EQ(Connect(refusing.port()), -1);
  EXPECT_EQ(errno, ECONNREFUSED);
}

}  // namespace
}  // namespace zelkor::test_support
