#include "tests/draws/fetch_implementations.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace zelkor::test_support {
namespace {

std::vector<std::string> SplitWords(const std::string& text, char separator) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; std::getline(in, word, separator);) {
    if (!word.empty()) words.push_back(word);
  }
  return words;
}

std::string ShellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the fetch tool and reads back what it wrote: the body from standard
// output, the cause and the cut flag from standard error.
FetchResult RunFetchTool(const std::vector<std::string>& command, const Text& address,
                         const FetchOptions& options) {
  char error_path[] = "/tmp/zelkor-fetch-errXXXXXX";
  const int error_file = mkstemp(error_path);
  if (error_file < 0) throw std::runtime_error("no temporary file");
  close(error_file);

  std::string line;
  for (const std::string& word : command) line += ShellQuoted(word) + " ";
  line += ShellQuoted(address) + " --connect " + std::to_string(options.connect_timeout.count()) +
          " --stall " + std::to_string(options.stall_timeout.count()) + " --overall " +
          std::to_string(options.overall_timeout.count());
  if (!options.ca_file.empty()) line += " --ca-file " + ShellQuoted(options.ca_file);
  for (const std::string& header : options.headers) line += " --header " + ShellQuoted(header);
  line += " --user-agent " + ShellQuoted(options.user_agent);
  line += " </dev/null 2>" + ShellQuoted(error_path);

  FetchResult result;
  std::FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot start " + line);
  char buffer[1 << 16];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.body.append(buffer, got);
  }
  const int status = pclose(pipe);

  std::ifstream errors(error_path);
  const std::string error_text((std::istreambuf_iterator<char>(errors)),
                               std::istreambuf_iterator<char>());
  std::remove(error_path);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("the fetch tool failed: " + error_text);
  }
  bool have_failure = false;
  for (const std::string& entry : SplitWords(error_text, '\n')) {
    if (entry.starts_with("failure: ")) {
      result.failure = entry.substr(9);
      have_failure = true;
    } else if (entry == "failure:") {
      have_failure = true;
    } else if (entry.starts_with("cut: ")) {
      result.cut = entry == "cut: 1";
    } else if (entry.starts_with("status: ")) {
      result.status = std::stoi(entry.substr(8));
    } else if (entry.starts_with("cookie: ")) {
      result.cookies.push_back(entry.substr(8));
    }
  }
  if (!have_failure) throw std::runtime_error("the fetch tool said nothing: " + error_text);
  return result;
}

}  // namespace

std::vector<FetchImplementation> ThisBuildsFetch() {
  return {{"this_build", [](const Text& address, const FetchOptions& options) {
             return FetchWithReason(address, options);
           }}};
}

std::vector<FetchImplementation> WindowsBuildsFetch() {
  const char* command = std::getenv("ZELKOR_WINDOWS_FETCH");
  if (command == nullptr || *command == '\0') return {};
  const std::vector<std::string> words = SplitWords(command, '|');
  return {{"wininet",
           [words](const Text& address, const FetchOptions& options) {
             return RunFetchTool(words, address, options);
           },
           /*one_request_per_connection=*/false, /*reads_ca_file=*/false}};
}

}  // namespace zelkor::test_support
