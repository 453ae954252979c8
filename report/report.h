// The command-line report: reads a draw-list document, lists it the way the
// window does and prints one analysis page's output text (or the same lines as
// CSV or JSON), the next issue's picks, or a backtest of how often the pages'
// predictions held; optionally draws the rolling hit rates as an SVG chart.
// This header holds the tool's types; run.h its whole run, and each concern
// has a unit of its own: options.h (the command line), input.h (the document and
// its draws), writer.h (the outputs), printable.h (text safe for a terminal),
// address.h (--url checks), wording.h (its words in either language).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/chart.h"
#include "backtest/language.h"
#include "draws/draws.h"
#include "runtime/text.h"

namespace zelkor {

// What the page text is written in; CSV and JSON are always UTF-8.
enum class ReportEncoding { kUtf8, kGbk };

enum class ReportFormat { kText, kCsv, kJson };

// The line break the output uses; kKeep leaves each output's own (the page
// text's CRLF, LF elsewhere, CRLF between CSV records).
enum class LineEnd { kKeep, kLf, kCrlf };

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
// An internal fault (a run-time error of the analysis, anything unexpected),
// or output that could not be written.
inline constexpr int kExitFault = 1;
// A usage or input error the user can act on.
inline constexpr int kExitUsage = 2;
// The draws could not be had: the download failed or the input could not be read.
inline constexpr int kExitNoDraws = 3;

// Everything the command line decides.
struct ReportOptions {
  // nullptr: the kill-digit page for the text, every page for the summary,
  // the next picks and the chart.
  const AnalysisPage* page = nullptr;
  // Kill position, 1 百, 2 十, 3 个; only the kill-digit page uses it.
  int32_t position = 1;
  // The eight box texts, GBK; the window's initial texts unless given.
  PageTexts texts;
  ReportEncoding encoding = ReportEncoding::kUtf8;
  // --encoding was given; otherwise a GBK locale's summary is GBK.
  bool encoding_given = false;
  ReportFormat format = ReportFormat::kText;
  LineEnd eol = LineEnd::kKeep;
  // The document's path; "" or "-" reads standard input.
  std::string file;
  // When set, the document is fetched from this address (UTF-8, as typed).
  std::optional<std::string> url;
  bool summary = false;
  bool next = false;
  // Where to write the SVG chart; empty for none.
  std::string chart;
  int32_t window = kDefaultChartWindow;
};

// The outcome of reading the command line: options to run with, or an exit
// whose text is already decided.
struct ParsedArguments {
  std::optional<ReportOptions> options;
  int exit_code = kExitOk;
  // With exit code 0 the help or version text for standard output (UTF-8);
  // otherwise one error line (no line break) for standard error.
  std::string message;
};

// The help text (UTF-8, lines ending in "\n").
[[nodiscard]] std::string HelpText(HelpLanguage language);

// The language of the help for a locale name such as "zh_CN.UTF-8": Chinese
// for zh_*, English otherwise.
[[nodiscard]] HelpLanguage HelpLanguageForLocale(std::string_view locale);

// The language of the help for the locale that LC_ALL, LC_MESSAGES or LANG
// (the first set) names; nothing when none is set.
[[nodiscard]] std::optional<HelpLanguage> HelpLanguageFromLocaleVariables();

// How reading a document ended. It is read up to its first zero byte, at
// most kMaxInputBytes of it.
struct InputDocument {
  // The bytes read, those before a zero byte or the cap.
  size_t size = 0;
  // Reading stopped at a zero byte at this offset.
  std::optional<size_t> zero_at;
  // Reading stopped at kMaxInputBytes with more to come.
  bool cut = false;
  // A read error, in a few words; empty when reading ended normally.
  std::string error;
};

// Fetches the body at an address, saying why when it fell short.
using Fetcher = std::function<FetchResult(const Text& address)>;

// What the tool learns from the system it runs on.
struct ReportEnvironment {
  // Standard input is a terminal (a hint is given when it is read).
  bool input_is_terminal = false;
  HelpLanguage language = HelpLanguage::kEnglish;
  // The locale's character set is GBK or GB18030: messages and the summary
  // are written in it.
  bool gbk_locale = false;
};

// Whether the locale LC_ALL, LC_CTYPE or LANG (the first set) names has the
// GBK, GB18030 or GB2312 character set ("zh_CN.GB18030", "zh_CN.gbk").
[[nodiscard]] bool GbkLocaleFromVariables();

// The encoding the text output is written in: --encoding when given, GBK for
// the summary under a GBK locale, UTF-8 otherwise.
[[nodiscard]] ReportEncoding TextEncoding(const ReportOptions& options,
                                          const ReportEnvironment& environment);

}  // namespace zelkor
