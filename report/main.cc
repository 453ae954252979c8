// zelkor3d-report: prints an analysis page of a draw-list document from the
// command line.
#include <iostream>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "report/report.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return zelkor::RunReport(args, std::cin, std::cout, std::cerr, zelkor::HttpFetch);
  } catch (...) {
    // RunReport catches everything itself; this covers building the arguments.
    std::cerr << "zelkor3d-report: internal error\n";
    return zelkor::kExitFault;
  }
}
