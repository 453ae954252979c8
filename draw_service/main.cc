// zelkor3d-draw-service: serves the draw history (the shipped one merged with
// the player's store, kept current from the built-in public sources and the
// upstreams the player names, cross-checked) as
// the draw list, with the version record and the start-up page, on 127.0.0.1
// until interrupted or terminated. Its commands `add` and `import` put draws
// into the store by hand.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
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
#include "draw_service/update/source_report.h"
#include "draw_service/update/sources.h"
#include "draw_service/update/upstream.h"
#include "runtime/log.h"
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

// The built-in sources the settings and the test switch leave on; why there
// are none in `none_because`.
std::vector<zelkor::service::SourceSpec> ChosenSources(const zelkor::service::Settings& settings,
                                                       std::string& none_because,
                                                       const zelkor::Log& log) {
  namespace service = zelkor::service;
  std::string note;
  std::vector<service::SourceSpec> sources = service::SwitchedSources(
      service::BuiltInSources(), std::getenv(service::kSourcesSwitch), note);
  if (!note.empty()) {
    log(note);
    none_because = note;
  }
  if (settings.sources_off) {
    none_because = "the built-in sources are switched off in the settings (sources = off)";
    log(none_because);
    return {};
  }
  for (const std::string& name : settings.sources_switched_off) {
    const auto known =
        std::find_if(service::BuiltInSources().begin(), service::BuiltInSources().end(),
                     [&](const service::SourceSpec& s) { return s.name == name; });
    if (known == service::BuiltInSources().end()) {
      log("settings: no built-in source '" + name + "' to switch off");
    }
    std::erase_if(sources, [&](const service::SourceSpec& s) { return s.name == name; });
  }
  if (sources.empty() && note.empty()) {
    none_because = "every built-in source is switched off in the settings";
  }
  return sources;
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
      "),\nwhich the built-in public draw sources and the upstreams named with --upstream or in\n"
      "the settings file (" ZELKOR_SETTINGS_PLACE
      ",\nlines 'upstream = URL', 'sources = off', 'source.NAME = off', '#' starts a comment)\n"
      "keep current, cross-checked, at start and each evening, and the commands add and\n"
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
  app.add_option(
         "--upstream", upstreams,
         "Take new draws from URL (http:// or https://; a draw list or a history CSV),\n"
         "with the built-in sources at start and after the evening draw; may be given more\n"
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
  bool verbose = false;
  import->add_flag("--verbose", verbose, "List every draw added, not only how many");

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

  // Every line the program writes, whatever part makes it, goes out through
  // one of these: made safe to show, whole lines never interleaved.
  std::mutex out_mutex;
  const auto line_writer = [&out_mutex](std::ostream& stream) {
    return zelkor::SafeLog([&out_mutex, &stream](const std::string& line) {
      std::lock_guard lock(out_mutex);
      stream << line << std::endl;
    });
  };
  std::ostream& out = zelkor::StandardOutput(zelkor::StreamText::kUtf8);
  const zelkor::Log log = line_writer(out);
  const zelkor::Log errors = line_writer(zelkor::StandardError(zelkor::StreamText::kUtf8));
  const bool command = *add || *import || *check || *remove;

  std::vector<service::HistoryDraw> shipped;
  if (!ReadHistory(history, shipped)) return kUsageError;
  const std::filesystem::path store_folder = service::StoreFolder();
  if (!*history_option && store_folder.empty()) {
    errors(std::string(kProgram) + ": no folder for the store: " + service::MissingStorePlace() +
           "; the store would be in " ZELKOR_STORE_PLACE +
           (command ? "; nothing was stored" : "; serving the shipped history only"));
  }
  const bool with_store = !*history_option && !store_folder.empty();
  const service::DrawStore store(shipped, store_folder, command ? errors : log);

  if (command) {
    if (!with_store) return service::kNotStored;
    const service::CommandResult result =
        *add      ? service::AddDraw(store, add_issue, add_digits, add_date)
        : *import ? service::ImportDraws(store, std::filesystem::u8path(import_file), verbose)
        : *remove ? service::RemoveDraw(store, remove_issue)
                  : service::CheckStore(store);
    const zelkor::Log& told = result.exit_code == service::kAdded ? log : errors;
    // Line by line, so that each is cut on its own.
    std::string_view lines = result.message;
    told(kProgram + std::string(": ") + std::string(lines.substr(0, lines.find('\n'))));
    for (size_t end = lines.find('\n'); end != std::string_view::npos; end = lines.find('\n')) {
      lines.remove_prefix(end + 1);
      told(std::string(lines.substr(0, lines.find('\n'))));
    }
    return result.exit_code;
  }

  // Stop requests are taken by one thread, which stops the server so that it
  // ends cleanly.
  service::HoldStopRequests();
  service::DocumentHolder holder;
  // Made anew at every start, and put only into the service's own page.
  const std::string form_token = service::NewFormToken();
  service::ServedHistory served(store, holder, latest, log,
                                with_store ? Places(store) : service::PlayerPlaces{},
                                with_store ? form_token : std::string());
  std::vector<service::SourceSpec> sources;
  std::string no_sources_because = "serving a history file as it is";
  if (with_store) {
    const service::Settings settings = service::ReadSettings(service::SettingsFile());
    for (const std::string& warning : settings.warnings) log(warning);
    upstreams.insert(upstreams.end(), settings.upstreams.begin(), settings.upstreams.end());
    sources = ChosenSources(settings, no_sources_because, log);
    served.Refresh();
  } else {
    holder.Publish(latest > 0 ? service::Latest(shipped, latest) : shipped);
  }
  const bool asks_sources = !sources.empty() || !upstreams.empty();
  service::Updater updater(
      std::move(sources), upstreams, no_sources_because, std::string("Zelkor3D/") + ZELKOR_VERSION,
      store, [&served] { served.Refresh(); },
      [with_store, &served, &holder](const service::SourcesReport& report) {
        // A history file served as it is has no sources to tell of.
        const std::vector<service::HistoryDraw> held = served.Served();
        if (!with_store || held.empty()) return;
        holder.SetSourcesSection(
            service::SourcesSection(held.back(), service::BeijingNow(), report));
      },
      log);

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

  // A stop request may come at any moment: before the server listens (which
  // a stop then would miss, so it waits until the server runs or is never to
  // run), during the first round, or while serving.
  std::atomic<bool> stop_requested = false;
  std::atomic<bool> listening_over = false;
  std::thread stopper([&server, &stop_requested, &listening_over] {
    service::WaitForStopRequest();
    stop_requested = true;
    while (!listening_over) {
      if (server.is_running()) {
        server.stop();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  // The service answers at once (every answer names it, so a launcher knows
  // its own service however slow the upstreams are); only the documents built
  // from the draws wait, at most a little past the start deadline, so that
  // the first draw list answered already holds what the upstreams brought.
  std::thread listener([&server] { server.listen_after_bind(); });
  updater.Start();
  const auto start_deadline = std::chrono::steady_clock::now() + service::kStartDeadline;
  bool first_round_over = !asks_sources;
  while (!first_round_over && !stop_requested &&
         std::chrono::steady_clock::now() < start_deadline) {
    first_round_over = updater.WaitForFirstRound(std::chrono::milliseconds(50));
  }
  if (!first_round_over && !stop_requested) {
    log("sources still under way after " + std::to_string(service::kStartDeadline.count()) +
        " s; serving what is held meanwhile");
  }
  const std::vector<service::HistoryDraw> draws = with_store ? served.Served() : shipped;
  log(service::FreshnessLogLine(draws.back(), service::BeijingToday()));
  log("serving " + std::to_string(draws.size()) + " draws (" + draws.front().issue + " to " +
      draws.back().issue + ") from " + history +
      (with_store ? " and the store " + zelkor::PathUtf8(store.file()) : std::string()));
  if (!stop_requested) {
    log("serving on http://" + std::string(kLoopback) + ":" + std::to_string(port));
  }
  start_gate.Open();
  // Returns only once the server is stopped, which only the stopper does.
  listener.join();
  listening_over = true;
  stopper.join();
  // A stop is to end the program within a second, whatever a fetch is doing.
  if (!updater.Stop(std::chrono::milliseconds(300))) {
    // A fetch still under way uses what main owns: end without unwinding.
    out.flush();
    std::_Exit(0);
  }
  return 0;
}
