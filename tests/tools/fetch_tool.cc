// zelkor3d-fetch ADDRESS [--connect S] [--stall S] [--overall S] [--ca-file F]
//                [--header "Name: value"]... [--user-agent UA] [--repeat N]
// Fetches ADDRESS (UTF-8) with FetchWithReason and writes the body to standard
// output, byte for byte. Standard error gets one line "failure: <cause>" (the
// cause empty for a whole 2xx answer), one line "cut: 0|1", one line
// "status: N", a line "cookie: name=value" per cookie set, and with --repeat
// N the fetch is made N times and a line "fetch_ms: <ms per fetch>" follows.
// Exit code 0, or 2 for a bad command line.
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "draws/draws.h"
#include "runtime/gbk.h"
#include "runtime/program_io.h"

namespace {

constexpr char kUsage[] =
    "usage: zelkor3d-fetch ADDRESS [--connect S] [--stall S] [--overall S] [--ca-file F] "
    "[--header \"Name: value\"]... [--user-agent UA] [--repeat N]\n";

}  // namespace

int main(int argc, char** argv) try {
  zelkor::UseBinaryStandardStreams();
  const std::vector<std::string> args = zelkor::ProgramArguments(argc, argv);
  zelkor::FetchOptions options;
  std::string address;
  int repeat = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--connect" && has_value) {
      options.connect_timeout = std::chrono::seconds(std::stoi(args[++i]));
    } else if (arg == "--stall" && has_value) {
      options.stall_timeout = std::chrono::seconds(std::stoi(args[++i]));
    } else if (arg == "--overall" && has_value) {
      options.overall_timeout = std::chrono::seconds(std::stoi(args[++i]));
    } else if (arg == "--ca-file" && has_value) {
      options.ca_file = args[++i];
    } else if (arg == "--header" && has_value) {
      options.headers.push_back(args[++i]);
    } else if (arg == "--user-agent" && has_value) {
      options.user_agent = args[++i];
    } else if (arg == "--repeat" && has_value) {
      repeat = std::stoi(args[++i]);
    } else if (address.empty() && !arg.starts_with("--")) {
      address = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  zelkor::FetchResult result = zelkor::FetchWithReason(zelkor::Utf8ToGbk(address), options);
  for (int i = 1; i < repeat; ++i) {
    result = zelkor::FetchWithReason(zelkor::Utf8ToGbk(address), options);
  }
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  std::cout.write(result.body.data(), static_cast<std::streamsize>(result.body.size()));
  std::cout.flush();
  std::cerr << "failure: " << result.failure << "\ncut: " << (result.cut ? 1 : 0)
            << "\nstatus: " << result.status << '\n';
  for (const std::string& cookie : result.cookies) std::cerr << "cookie: " << cookie << '\n';
  if (repeat > 0) std::cerr << "fetch_ms: " << elapsed.count() / repeat << '\n';
  return 0;
} catch (const std::exception&) {
  // A number that is none.
  std::cerr << kUsage;
  return 2;
}
