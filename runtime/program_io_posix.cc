// On Linux arguments, paths and streams are bytes already.
#include <iostream>

#include "runtime/program_io.h"

namespace zelkor {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::FILE* OpenFileForReading(const std::string& utf8_path) {
  return std::fopen(utf8_path.c_str(), "rb");
}

void UseBinaryStandardStreams() {}

std::ostream& StandardOutput(StreamText) { return std::cout; }

std::ostream& StandardError(StreamText) { return std::cerr; }

}  // namespace zelkor
