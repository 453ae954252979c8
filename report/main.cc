// zelkor3d-report: prints an analysis page of a draw-list document from the
// command line.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "report/file_input.h"
#include "report/report.h"
#include "report/system.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    zelkor::UseBinaryStandardStreams();
    // Standard input through a buffer that reports read errors, which
    // std::cin would take for the end of input.
    zelkor::FileReadBuffer stdin_buffer(stdin);
    std::istream in(&stdin_buffer);
    const zelkor::Fetcher fetch = [](const zelkor::Text& address) {
      return zelkor::FetchWithReason(address, zelkor::FetchOptions{});
    };
    return zelkor::RunReport(args, in, std::cout, std::cerr, fetch, zelkor::SystemEnvironment());
  } catch (...) {
    // RunReport catches everything itself; this covers building the arguments.
    std::cerr << "zelkor3d-report: internal error\n";
    return zelkor::kExitFault;
  }
}
