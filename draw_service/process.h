// What the service program needs from the system it runs on: its own file,
// and being asked to stop. One source file per platform implements it.
#pragma once

#include <filesystem>

namespace zelkor::service {

// The running program's own file; empty when the system does not tell.
[[nodiscard]] std::filesystem::path ProgramFile();

// From now on, stop requests (an interrupt or a termination; on Windows a
// console's Ctrl+C, Ctrl+Break or closing) reach the program only through
// WaitForStopRequest. Call it before any other thread starts, so that no
// thread the server starts is ended by one.
void HoldStopRequests();

// Blocks until a stop request arrives (after HoldStopRequests).
void WaitForStopRequest();

// Called right after binding 127.0.0.1:`port` failed: whether that was
// because another socket holds the port.
[[nodiscard]] bool PortWasInUse(int port);

}  // namespace zelkor::service
