// zelkor3d-serve-file FILE: serves FILE's bytes at every path over HTTP on
// 127.0.0.1, on a port of the system's choosing, printed as "port: N" once
// it listens; runs until killed. For timing fetches.
#include <httplib.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zelkor3d-serve-file FILE\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && !in) {
    std::cerr << "zelkor3d-serve-file: cannot read " << argv[1] << "\n";
    return 2;
  }
  httplib::Server server;
  server.Get(".*", [&body](const httplib::Request&, httplib::Response& response) {
    response.set_content(body, "application/octet-stream");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port <= 0) return 1;
  std::cout << "port: " << port << std::endl;
  return server.listen_after_bind() ? 0 : 1;
}
