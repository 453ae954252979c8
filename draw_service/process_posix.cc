#include <pthread.h>

#include <cerrno>
#include <csignal>

#include "draw_service/process.h"

namespace zelkor::service {
namespace {

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

std::filesystem::path ProgramFile() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self;
}

// Threads inherit the blocked set, so every thread started later has the
// signals blocked and only sigwait takes them.
void HoldStopRequests() {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForStopRequest() {
  const sigset_t signals = StopSignals();
  int signal_number = 0;
  sigwait(&signals, &signal_number);
}

bool PortWasInUse(int /*port*/) { return errno == EADDRINUSE; }

}  // namespace zelkor::service
