// The report tool's option parsing and input reading on arbitrary bytes: a
// count of arguments, the arguments (each ended by a zero byte) and then
// the document, which stands for standard input and for a download alike.
// Whatever comes, the tool ends with a known exit code, its error lines are
// its own and one line each, and no control character it was given reaches
// the terminal through them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/run.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "fuzz_report: %s: %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const size_t count = static_cast<unsigned char>(input[0]) % 8;
  input.remove_prefix(1);
  std::vector<std::string> typed;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = input.find('\0');
    if (end == std::string_view::npos) break;
    typed.emplace_back(input.substr(0, end));
    input.remove_prefix(end + 1);
  }
  // A chart would be written to a file the input names: leave it out.
  std::vector<std::string> args;
  for (size_t i = 0; i < typed.size(); ++i) {
    if (typed[i] == "--chart") {
      ++i;
    } else if (!typed[i].starts_with("--chart=")) {
      args.push_back(typed[i]);
    }
  }
  const std::string document(input);

  std::istringstream in(document);
  std::ostringstream out;
  std::ostringstream err;
  const int code = zelkor::RunReport(args, in, out, err, [&document](const zelkor::Text&) {
    return zelkor::FetchResult{
        document, document.size() % 3 == 0 ? "the transfer broke off" : "", false, 0, {}};
  });
  if (code < 0 || code > 3) Fail("exit code", std::to_string(code));

  const std::string errors = err.str();
  if (!errors.empty() && errors.back() != '\n')
    Fail("error text not ended by a line break", errors);
  size_t lines = 0;
  for (size_t start = 0; start < errors.size();) {
    const size_t end = errors.find('\n', start);
    const std::string_view line(errors.data() + start, end - start);
    if (!line.starts_with("zelkor3d-report: "))
      Fail("error line not the tool's", std::string(line));
    for (const char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7F)
        Fail("control character in an error line", std::string(line));
    }
    ++lines;
    start = end + 1;
  }
  // A usage error is one line. Draws that could not be had are one line too,
  // after any warning on how the document was read (cut at a zero byte, say).
  if (code == zelkor::kExitUsage && lines != 1) Fail("usage error not one line", errors);
  if (code == zelkor::kExitNoDraws && lines == 0) Fail("no draws, and nothing said", errors);
  if ((code == zelkor::kExitUsage || code == zelkor::kExitNoDraws) && !out.str().empty()) {
    Fail("output with an error", out.str());
  }
  return 0;
}
