// zelkor3d-report: prints an analysis page of a draw-list document from the
// command line.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "report/file_input.h"
#include "report/options.h"
#include "report/output.h"
#include "report/run.h"
#include "report/system.h"
#include "runtime/program_io.h"

int main(int argc, char** argv) {
  try {
    // The output is the page's very bytes: no line end translation, and GBK
    // output is never reinterpreted on its way out.
    zelkor::UseBinaryStandardStreams();
    const std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
    const zelkor::ReportEnvironment environment = zelkor::SystemEnvironment();
    const zelkor::ParsedArguments parsed = zelkor::ParseReportArguments(args, environment.language);
    // Only the text output is ever GBK (the page text, the next picks and the
    // summary); CSV, JSON and the help are UTF-8.
    const bool gbk =
        parsed.options &&
        zelkor::TextEncoding(*parsed.options, environment) == zelkor::ReportEncoding::kGbk &&
        parsed.options->format == zelkor::ReportFormat::kText;
    std::ostream& out =
        zelkor::StandardOutput(gbk ? zelkor::StreamText::kBytes : zelkor::StreamText::kUtf8);
    // Standard input through a buffer that reports read errors, which
    // std::cin would take for the end of input.
    zelkor::FileReadBuffer stdin_buffer(stdin);
    std::istream in(&stdin_buffer);
    const zelkor::Fetcher fetch = [](const zelkor::Text& address) {
      return zelkor::FetchWithReason(address, zelkor::FetchOptions{});
    };
    // Messages in the locale's own character set, which a GBK terminal shows.
    if (environment.gbk_locale) {
      zelkor::GbkTextBuffer gbk_err(zelkor::StandardError(zelkor::StreamText::kBytes));
      std::ostream err(&gbk_err);
      const int code = zelkor::RunReport(args, in, out, err, fetch, environment);
      err.flush();
      return code;
    }
    return zelkor::RunReport(args, in, out, zelkor::StandardError(zelkor::StreamText::kUtf8), fetch,
                             environment);
  } catch (...) {
    // RunReport catches everything itself; this covers building the arguments.
    std::cerr << "zelkor3d-report: internal error\n";
    return zelkor::kExitFault;
  }
}
