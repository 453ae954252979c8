// The command-line report: reads a draw-list document, lists it the way the
// window does and prints one analysis page's output text, or a summary of how
// often the pages' predictions held.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "runtime/text.h"

namespace zelkor {

// The analysis pages the report can print, by their command-line names.
enum class ReportPage { kKill, kBanker, kSpan };

// What the report writes to standard output.
enum class ReportEncoding { kUtf8, kGbk };

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
// An internal fault (a run-time error of the analysis, anything unexpected).
inline constexpr int kExitFault = 1;
// A usage or input error the user can act on.
inline constexpr int kExitUsage = 2;

// Everything the command line decides.
struct ReportOptions {
  // Absent: the kill-digit page for the text, all three pages for the summary.
  std::optional<ReportPage> page;
  // Kill position, 1 百, 2 十, 3 个; only the kill-digit page uses it.
  int32_t position = 1;
  // The eight box texts, GBK; the window's initial texts unless given.
  PageTexts texts;
  ReportEncoding encoding = ReportEncoding::kUtf8;
  // The document's path; "" or "-" reads standard input.
  std::string file;
  // When set, the document is fetched from this address (UTF-8, as typed).
  std::optional<std::string> url;
  bool summary = false;
};

// The outcome of reading the command line: options to run with, or an exit
// whose text is already decided.
struct ParsedArguments {
  std::optional<ReportOptions> options;
  int exit_code = kExitOk;
  // With exit code 0 the help text for standard output; otherwise one error
  // line (no line break) for standard error.
  std::string message;
};

// Reads the arguments that follow the program name.
[[nodiscard]] ParsedArguments ParseReportArguments(const std::vector<std::string>& args);

// The window's page that a report page stands for.
[[nodiscard]] const AnalysisPage& AnalysisPageOf(ReportPage page);

// The command-line name of a page: "kill", "banker" or "span".
[[nodiscard]] std::string_view ReportPageName(ReportPage page);

// The history rows the window would list for a document: its bytes up to the
// first zero byte, parsed by the draw-list pattern, in document order.
[[nodiscard]] std::vector<HistoryRow> HistoryFromDocument(std::string_view document_bytes);

// The page's output text (GBK), exactly as the window builds it.
[[nodiscard]] Text BuildReportText(const ReportOptions& options,
                                   const std::vector<HistoryRow>& rows, const Notify& notify);

// A GBK text in the encoding asked for.
[[nodiscard]] std::string EncodeForOutput(const Text& gbk, ReportEncoding encoding);

// Fetches the body at an address; HttpFetch outside tests.
using Fetcher = std::function<Bytes(const Text& address)>;

// The whole tool: parses `args` (without the program name), reads the
// document, writes the page text or the summary to `out` and notices and
// errors to `err`. Returns the exit code; never throws.
[[nodiscard]] int RunReport(const std::vector<std::string>& args, std::istream& in,
                            std::ostream& out, std::ostream& err, const Fetcher& fetch);

}  // namespace zelkor
