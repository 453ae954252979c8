// zelkor3d-sample-service [port]: serves the sample draw history, version
// record and start-up page on 127.0.0.1 until interrupted or terminated.
#include <httplib.h>
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "sample_service/sample_service.h"

#ifndef ZELKOR_SAMPLE_SERVICE_PORT
#error "The sample service's default port must be set by the build"
#endif

namespace {

constexpr char kLoopback[] = "127.0.0.1";

bool ParsePort(const char* text, int& port) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 65535) return false;
  port = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int port = ZELKOR_SAMPLE_SERVICE_PORT;
  if (argc > 2 || (argc == 2 && !ParsePort(argv[1], port))) {
    std::cerr << "usage: zelkor3d-sample-service [port]   (default " << ZELKOR_SAMPLE_SERVICE_PORT
              << ")\n";
    return 2;
  }

  // Interrupts and terminations are taken by one thread, which stops the
  // server so that it ends cleanly; every other thread has them blocked.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  httplib::Server server;
  zelkor::sample::AddSampleRoutes(server,
                                  [](const std::string& line) { std::cout << line << std::endl; });
  if (!server.bind_to_port(kLoopback, port)) {
    std::cerr << "zelkor3d-sample-service: cannot listen on " << kLoopback << ":" << port << "\n";
    return 1;
  }

  std::thread stopper([&server, stop_signals] {
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    server.stop();
  });
  std::cout << "serving on http://" << kLoopback << ":" << port << std::endl;
  server.listen_after_bind();
  // listen_after_bind only returns once the server is stopped, which only the
  // stopper does.
  stopper.join();
  return 0;
}
