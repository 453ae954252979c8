// zelkor3d-draw-service: serves the draw history (the shipped one merged with
// the player's store, kept current from the upstreams the player names) as
// the draw list, with the version record and the start-up page, on 127.0.0.1
// until interrupted or terminated. Its commands `add` and `import` put draws
// into the store by hand.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "draw_service/history/draw_list.h"
#include "draw_service/history/freshness.h"
#include "draw_service/history/history_file.h"
#include "draw_service/process.h"
#include "draw_service/serve/draw_form.h"
#include "draw_service/serve/draw_server.h"
#include "draw_service/serve/routes.h"
#include "draw_service/serve/served_documents.h"
#include "draw_service/serve/served_history.h"
#include "draw_service/store/commands.h"
#include "draw_service/store/draw_store.h"
#include "draw_service/store/user_places.h"
#include "draw_service/update/settings.h"
#include "draw_service/update/upstream.h"
#include "runtime/printable.h"
#include "runtime/program_io.h"
#include "runtime/read_file.h"

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

// The draws of the history file at `path`, or the file's fault told on
// standard error.
bool ReadHistory(const std::string& path, std::vector<zelkor::service::HistoryDraw>& draws) {
  // A history whose draw list would be larger than its readers take is
  // refused, after reading no more than that.
  auto parsed = zelkor::service::ReadHistoryFile(path, zelkor::service::MaxServedDraws());
  if (const auto* error = std::get_if<zelkor::service::HistoryError>(&parsed)) {
    std::ostream& err = zelkor::StandardError(zelkor::StreamText::kUtf8);
    err << kProgram << ": " << zelkor::Printable(path);
    if (error->line > 0) err << ":" << error->line;
    err << ": " << error->reason << "\n";
    return false;
  }
  draws = std::get<std::vector<zelkor::service::HistoryDraw>>(std::move(parsed));
  return true;
}

// Where the player's files and this program are, for the start page.
zelkor::service::PlayerPlaces Places(const zelkor::service::DrawStore& store) {
  namespace service = zelkor::service;
  std::string program = zelkor::PathUtf8(service::ProgramFile());
  if (program.empty()) program = kProgram;
  // A command line splits a path at its blanks unless it is quoted.
  if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
  return {zelkor::PathUtf8(service::SettingsFile()), zelkor::PathUtf8(store.file().parent_path()),
          zelkor::PathUtf8(store.file()), program};
}

}  // namespace

int main(int argc, char** argv) {
  namespace service = zelkor::service;
  int port = ZELKOR_DRAW_SERVICE_PORT;
  std::string history = ShippedHistory();
  size_t latest = 0;
  std::vector<std::string> upstreams;

  CLI::App app{
      "Serves the 3D draw history on 127.0.0.1 for zelkor3d: the draw list (newest first) at\n"
      "/static/info/kaijiang/xml/sd/list10.xml, the version record and the start-up page.\n"
      "Runs until interrupted or terminated.\n"
      "The history served is the shipped one merged with the player's own store "
      "(" ZELKOR_STORE_PLACE
      "),\nwhich the upstreams named with --upstream or in the settings file "
      "(" ZELKOR_SETTINGS_PLACE
      ",\nlines 'upstream = URL', '#' starts a comment) keep current, and the commands add and\n"
      "import fill by hand. A running service serves what they stored from its next request on."};
  app.name(kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + ZELKOR_VERSION,
                       "Print the version and exit");
  app.add_option("port", port, "Loopback port to listen on")
      ->capture_default_str()
      ->type_name("PORT")
      ->check(CLI::Range(1, 65535));
  CLI::Option* history_option =
      app.add_option(
             "--history", history,
             "Serve exactly this draw history file, read-only, without the store or\n"
             "upstreams: a CSV text with the header line issue,date,digits and one\n"
             "draw a line, oldest first (e.g. 2026224,2026-08-22,862). A malformed line is\n"
             "named on standard error and nothing is served. The shipped "
             "history is\n" ZELKOR_HISTORY_PLACE ".")
          ->type_name("FILE");
  app.add_option("--latest", latest, "Serve only the newest N draws")
      ->check(CLI::Range(size_t{1}, size_t{INT_MAX}))
      ->type_name("N");
  // One address an occurrence, so that a port after it stays the port.
  app.add_option("--upstream", upstreams,
                 "Take new draws from URL (http:// or https://; a draw list or a history CSV),\n"
                 "at start, every 30 minutes and after the evening draw; may be given more\n"
                 "than once")
      ->type_name("URL")
      ->allow_extra_args(false);

  std::string add_issue;
  std::string add_digits;
  std::string add_date;
  CLI::App* add = app.add_subcommand(
      "add",
      "Add one draw to the store. Exit code 0 added or nothing new, 2 bad input, 3 the\n"
      "draw is held with other digits.");
  add->add_option("ISSUE", add_issue, "Seven digits: the year, then the draw's number")->required();
  add->add_option("DIGITS", add_digits, "The three drawn digits, hundreds first")->required();
  add->add_option("DATE", add_date,
                  "YYYY-MM-DD; default the date the daily schedule gives the issue after the\n"
                  "draw before it");
  std::string remove_issue;
  CLI::App* remove = app.add_subcommand(
      "remove",
      "Remove the newest draw from the store (not a shipped one). Exit code 0 removed,\n"
      "2 refused, 1 the store could not be read or written.");
  remove->add_option("ISSUE", remove_issue, "The newest draw's issue")->required();
  CLI::App* check = app.add_subcommand(
      "check",
      "Tell whether every line of the store can be read, naming each that cannot.\n"
      "Exit code 0 all can, 2 some cannot, 1 the file cannot be read.");
  std::string import_file;
  CLI::App* import = app.add_subcommand(
      "import",
      "Add the draws of a history CSV or a saved draw list to the store, all or\n"
      "none. Exit codes as for add; a bad line is named.");
  import->add_option("FILE", import_file, "The file to import")->required();

  // The arguments as UTF-8 (on Windows from the wide command line, so that
  // a history named outside the system's code page is found), last first as
  // CLI11 takes them.
  std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
  std::reverse(args.begin(), args.end());
  try {
    app.parse(args);
    if (*history_option && (!upstreams.empty() || *add || *import || *check || *remove)) {
      throw CLI::ValidationError("--history",
                                 "serves a file as it is, without the store, upstreams, add, "
                                 "import, remove or check");
    }
    for (const std::string& upstream : upstreams) {
      if (!service::IsWebAddress(upstream)) {
        throw CLI::ValidationError("--upstream", "'" + zelkor::Printable(upstream) +
                                                     "' is not an http:// or https:// address");
      }
    }
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : kUsageError;
  }

  std::vector<service::HistoryDraw> shipped;
  if (!ReadHistory(history, shipped)) return kUsageError;
  const std::filesystem::path store_folder = service::StoreFolder();
  if (!*history_option && store_folder.empty()) {
    zelkor::StandardError(zelkor::StreamText::kUtf8)
        << kProgram << ": no folder for the store (neither XDG_DATA_HOME nor HOME is set); "
        << "serving the shipped history only\n";
  }
  const bool with_store = !*history_option && !store_folder.empty();
  const service::DrawStore store(shipped, store_folder);

  if (*add || *import || *check || *remove) {
    if (!with_store) return service::kNotStored;
    const service::CommandResult result =
        *add      ? service::AddDraw(store, add_issue, add_digits, add_date)
        : *import ? service::ImportDraws(store, std::filesystem::u8path(import_file))
        : *remove ? service::RemoveDraw(store, remove_issue)
                  : service::CheckStore(store);
    std::ostream& stream = result.exit_code == service::kAdded
                               ? zelkor::StandardOutput(zelkor::StreamText::kUtf8)
                               : zelkor::StandardError(zelkor::StreamText::kUtf8);
    stream << kProgram << ": " << result.message << std::endl;
    return result.exit_code;
  }

  // Stop requests are taken by one thread, which stops the server so that it
  // ends cleanly.
  service::HoldStopRequests();

  std::ostream& out = zelkor::StandardOutput(zelkor::StreamText::kUtf8);
  std::mutex out_mutex;
  const zelkor::Log log = [&out, &out_mutex](const std::string& line) {
    std::lock_guard lock(out_mutex);
    out << line << std::endl;
  };
  service::DocumentHolder holder;
  // Made anew at every start, and put only into the service's own page.
  const std::string form_token = service::NewFormToken();
  service::ServedHistory served(store, holder, latest, log,
                                with_store ? Places(store) : service::PlayerPlaces{},
                                with_store ? form_token : std::string());
  if (with_store) {
    const service::Settings settings = service::ReadSettings(service::SettingsFile());
    for (const std::string& warning : settings.warnings) log(warning);
    upstreams.insert(upstreams.end(), settings.upstreams.begin(), settings.upstreams.end());
    served.Refresh();
  } else {
    holder.Publish(latest > 0 ? service::Latest(shipped, latest) : shipped);
  }
  service::Updater updater(
      upstreams, store, [&served] { served.Refresh(); }, log);

  service::DrawServer server(port);
  service::StartGate start_gate(service::kStartDeadline + std::chrono::seconds(1));
  // What `add` or `import` stored shows from the next request on.
  std::function<void()> refresh = [&start_gate] { start_gate.Wait(); };
  if (with_store) {
    refresh = [&start_gate, &served] {
      start_gate.Wait();
      served.Refresh();
    };
  }
  service::AddRoutes(server, holder, log, refresh);
  if (with_store) {
    server.TakeFormsAt(std::string(service::DrawFormPath()), service::kMaxFormBytes);
    service::AddDrawForm(server, store, form_token, port, refresh);
  }
  if (!server.Bind()) {
    std::cerr << kProgram << ": cannot listen on " << kLoopback << ":" << port;
    if (service::PortWasInUse(port)) std::cerr << ": port " << port << " is in use";
    std::cerr << "\n";
    return 1;
  }

  std::thread stopper([&server] {
    service::WaitForStopRequest();
    server.stop();
  });
  // The service answers at once (every answer names it, so a launcher knows
  // its own service however slow the upstreams are); only the documents built
  // from the draws wait, at most a little past the start deadline, so that
  // the first draw list answered already holds what the upstreams brought.
  std::thread listener([&server] { server.listen_after_bind(); });
  updater.Start();
  if (!upstreams.empty() && !updater.WaitForFirstRound(service::kStartDeadline)) {
    log("upstreams still under way after " + std::to_string(service::kStartDeadline.count()) +
        " s; serving what is held meanwhile");
  }
  const std::vector<service::HistoryDraw> draws = with_store ? served.Served() : shipped;
  log(service::FreshnessLogLine(draws.back(), service::BeijingToday()));
  log("serving " + std::to_string(draws.size()) + " draws (" + draws.front().issue + " to " +
      draws.back().issue + ") from " + zelkor::Printable(history) +
      (with_store ? " and the store " + zelkor::PathUtf8(store.file()) : std::string()));
  log("serving on http://" + std::string(kLoopback) + ":" + std::to_string(port));
  start_gate.Open();
  // listen_after_bind only returns once the server is stopped, which only the
  // stopper does.
  listener.join();
  stopper.join();
  if (!updater.Stop(std::chrono::seconds(1))) {
    // A fetch still under way uses what main owns: end without unwinding.
    out.flush();
    std::_Exit(0);
  }
  return 0;
}
