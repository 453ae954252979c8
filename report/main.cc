// zelkor3d-report: prints an analysis page of a draw-list document from the
// command line.
#include <iostream>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "report/report.h"
#include "runtime/program_io.h"

int main(int argc, char** argv) {
  try {
    // The output is the page's very bytes: no line end translation, and GBK
    // output is never reinterpreted on its way out.
    zelkor::UseBinaryStandardStreams();
    const std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
    const zelkor::ParsedArguments parsed = zelkor::ParseReportArguments(args);
    const bool gbk = parsed.options && parsed.options->encoding == zelkor::ReportEncoding::kGbk;
    std::ostream& out =
        zelkor::StandardOutput(gbk ? zelkor::StreamText::kBytes : zelkor::StreamText::kUtf8);
    return zelkor::RunReport(args, std::cin, out, zelkor::StandardError(zelkor::StreamText::kUtf8),
                             zelkor::HttpFetch);
  } catch (...) {
    // RunReport catches everything itself; this covers building the arguments.
    std::cerr << "zelkor3d-report: internal error\n";
    return zelkor::kExitFault;
  }
}
