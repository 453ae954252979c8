// zelkor3d-draw-service: serves a draw history file as the draw list, with
// the version record and the start-up page, on 127.0.0.1 until interrupted or
// terminated.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <climits>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "draw_service/draw_service.h"
#include "draw_service/history_file.h"
#include "draw_service/process.h"
#include "draw_service/served_documents.h"
#include "draw_service/sturdy_server.h"
#include "runtime/printable.h"
#include "runtime/program_io.h"

#if !defined(ZELKOR_DRAW_SERVICE_PORT) || !defined(ZELKOR_HISTORY_FROM_BINARY) || \
    !defined(ZELKOR_HISTORY_PLACE) || !defined(ZELKOR_VERSION)
#error "The draw service's port, history path and version must be set by the build"
#endif

namespace {

constexpr char kProgram[] = "zelkor3d-draw-service";
constexpr char kLoopback[] = "127.0.0.1";
constexpr int kUsageError = 2;

// The shipped history (UTF-8, as every path the program handles), found
// beside the program so that an installed copy works wherever it was
// installed (the build tree has the same layout).
std::string ShippedHistory() {
  const std::filesystem::path self = zelkor::service::ProgramFile();
  if (self.empty()) return ZELKOR_HISTORY_FROM_BINARY;
  const std::u8string path =
      (self.parent_path() / ZELKOR_HISTORY_FROM_BINARY).lexically_normal().u8string();
  return std::string(path.begin(), path.end());
}

}  // namespace

int main(int argc, char** argv) {
  int port = ZELKOR_DRAW_SERVICE_PORT;
  std::string history = ShippedHistory();
  size_t latest = 0;

  CLI::App app{
      "Serves the 3D draw history on 127.0.0.1 for zelkor3d: the draw list (newest first) at\n"
      "/static/info/kaijiang/xml/sd/list10.xml, the version record and the start-up page.\n"
      "Runs until interrupted or terminated."};
  app.name(kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + ZELKOR_VERSION,
                       "Print the version and exit");
  app.add_option("port", port, "Loopback port to listen on")
      ->capture_default_str()
      ->type_name("PORT")
      ->check(CLI::Range(1, 65535));
  app.add_option("--history", history,
                 "Draw history file: a CSV text with the header line issue,date,digits and one\n"
                 "draw a line, oldest first (e.g. 2026224,2026-08-22,862). A malformed line is\n"
                 "named on standard error and nothing is served. Default: the shipped "
                 "history,\n" ZELKOR_HISTORY_PLACE ".")
      ->type_name("FILE");
  app.add_option("--latest", latest, "Serve only the newest N draws")
      ->check(CLI::Range(size_t{1}, size_t{INT_MAX}))
      ->type_name("N");
  // The arguments as UTF-8 (on Windows from the wide command line, so that
  // a history named outside the system's code page is found), last first as
  // CLI11 takes them.
  std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
  std::reverse(args.begin(), args.end());
  try {
    app.parse(args);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : kUsageError;
  }

  // A history whose draw list would be larger than its readers take is
  // refused, after reading no more than that.
  auto parsed = zelkor::service::ReadHistoryFile(history, zelkor::service::MaxServedDraws());
  if (const auto* error = std::get_if<zelkor::service::HistoryError>(&parsed)) {
    std::ostream& err = zelkor::StandardError(zelkor::StreamText::kUtf8);
    err << kProgram << ": " << zelkor::Printable(history);
    if (error->line > 0) err << ":" << error->line;
    err << ": " << error->reason << "\n";
    return kUsageError;
  }
  std::vector<zelkor::service::HistoryDraw> draws =
      std::get<std::vector<zelkor::service::HistoryDraw>>(std::move(parsed));
  if (latest > 0) draws = zelkor::service::Latest(std::move(draws), latest);

  // Stop requests are taken by one thread, which stops the server so that it
  // ends cleanly.
  zelkor::service::HoldStopRequests();

  std::ostream& out = zelkor::StandardOutput(zelkor::StreamText::kUtf8);
  zelkor::service::DocumentHolder documents;
  documents.Publish(draws);
  zelkor::service::SturdyServer server(port);
  zelkor::service::AddRoutes(server, documents,
                             [&out](const std::string& line) { out << line << std::endl; });
  if (!server.Bind()) {
    std::cerr << kProgram << ": cannot listen on " << kLoopback << ":" << port;
    if (zelkor::service::PortWasInUse(port)) std::cerr << ": port " << port << " is in use";
    std::cerr << "\n";
    return 1;
  }

  std::thread stopper([&server] {
    zelkor::service::WaitForStopRequest();
    server.stop();
  });
  out << "serving " << draws.size() << " draws (" << draws.front().issue << " to "
      << draws.back().issue << ") from " << zelkor::Printable(history) << std::endl;
  out << "serving on http://" << kLoopback << ":" << port << std::endl;
  server.listen_after_bind();
  // listen_after_bind only returns once the server is stopped, which only the
  // stopper does.
  stopper.join();
  return 0;
}
