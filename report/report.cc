#include "report/report.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <iterator>
#include <memory>
#include <ostream>
#include <utility>

#include "draws/draws.h"
#include "report/summary.h"
#include "runtime/gbk.h"
#include "runtime/program_io.h"
#include "runtime/runtime_error.h"

#ifndef ZELKOR_VERSION
#error "ZELKOR_VERSION must be set by the build"
#endif

namespace zelkor {
namespace {

constexpr std::string_view kProgram = "zelkor3d-report";

struct NamedPage {
  std::string_view name;
  ReportPage page;
};
constexpr std::array<NamedPage, 3> kPageNames{{
    {"kill", ReportPage::kKill},
    {"banker", ReportPage::kBanker},
    {"span", ReportPage::kSpan},
}};

// The kill position by its digit or by the radio button caption of the window.
struct NamedPosition {
  std::string_view name;
  int32_t position;
};
constexpr std::array<NamedPosition, 6> kPositionNames{{
    {"1", 1},
    {"2", 2},
    {"3", 3},
    {"百", 1},
    {"十", 2},
    {"个", 3},
}};

std::optional<int32_t> PositionNamed(std::string_view name) {
  for (const NamedPosition& entry : kPositionNames) {
    if (entry.name == name) return entry.position;
  }
  return std::nullopt;
}

// CLI11 messages can span lines; the tool promises one line per error.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string ErrorLine(std::string_view what) {
  return OneLine(std::string(kProgram) + ": " + std::string(what));
}

// "--name=" means an empty name, but CLI11 would take the next argument as
// the value; spelled "--name" "" it reads as meant.
std::vector<std::string> SplitEmptyAssignments(const std::vector<std::string>& args) {
  std::vector<std::string> split;
  bool options_ended = false;
  for (const std::string& arg : args) {
    if (arg == "--") options_ended = true;
    if (!options_ended && arg.size() > 3 && arg.starts_with("--") &&
        arg.find('=') == arg.size() - 1) {
      split.push_back(arg.substr(0, arg.size() - 1));
      split.emplace_back();
    } else {
      split.push_back(arg);
    }
  }
  return split;
}

// One box-text option: its name, its help and where its value goes.
struct BoxOption {
  const char* flag;
  const char* help;
  Text PageTexts::*field;
};
constexpr std::array<BoxOption, 8> kBoxOptions{{
    {"--separator", "Separator, used three times in every line", &PageTexts::separator},
    {"--name", "Name of the proposal", &PageTexts::name},
    {"--left", "Symbol before the pick", &PageTexts::left},
    {"--right", "Symbol after the pick", &PageTexts::right},
    {"--correct", "Mark of a line whose prediction held", &PageTexts::correct},
    {"--wrong", "Mark of a line whose prediction failed", &PageTexts::wrong},
    {"--not-drawn", "Mark of the next-issue line", &PageTexts::not_drawn},
    {"--footer", "Text after the last line", &PageTexts::footer},
}};

// Reads a whole file; on failure returns false and the reason.
bool ReadFileBytes(const std::string& path, Bytes& bytes, std::string& reason) {
  errno = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(path), &std::fclose);
  if (file == nullptr) {
    reason = std::strerror(errno);
    return false;
  }
  std::array<char, 65536> buffer;
  while (true) {
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    bytes.append(buffer.data(), got);
    if (got < buffer.size()) break;
  }
  if (std::ferror(file.get()) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

Bytes ReadStream(std::istream& in) {
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string_view ReportPageName(ReportPage page) {
  for (const NamedPage& entry : kPageNames) {
    if (entry.page == page) return entry.name;
  }
  return {};
}

const AnalysisPage& AnalysisPageOf(ReportPage page) {
  switch (page) {
    case ReportPage::kBanker:
      return BankerDigitPage();
    case ReportPage::kSpan:
      return KillSpanPage();
    case ReportPage::kKill:
      break;
  }
  return KillDigitPage();
}

ParsedArguments ParseReportArguments(const std::vector<std::string>& args) {
  CLI::App app{
      "Lists a 3D draw-list document as the Zelkor3D window does and prints one analysis "
      "page's output text, or a summary of how often the pages' predictions held.",
      std::string(kProgram)};
  // CLI11 would take "/x" for an option on Windows, and so an absolute path
  // written the Unix way; the options are the same on every platform.
  app.allow_windows_style_options(false);
  app.set_help_flag("-h,--help", "Print this help and exit");
  app.set_version_flag("--version", std::string(kProgram) + " " + ZELKOR_VERSION,
                       "Print the version and exit");
  app.footer(
      "The document is read from FILE, from standard input when FILE is absent or -, or from "
      "ADDRESS with --url. Box texts are taken as typed (UTF-8) and default to the window's "
      "initial texts. Kill-span notices go to standard error, one line each.\n"
      "Exit codes: 0 done, 1 internal fault, 2 usage or input error.");

  std::string file;
  std::string url;
  std::string page_name;
  std::string position_name = "1";
  std::string encoding_name = "utf-8";
  bool summary = false;
  std::array<std::string, kBoxOptions.size()> box_values;
  std::array<CLI::Option*, kBoxOptions.size()> box_options{};

  CLI::Option* file_option =
      app.add_option("FILE", file, "Draw-list document; - or nothing reads standard input");
  app.add_option("--url", url, "Fetch the document from ADDRESS instead of reading a file")
      ->option_text("ADDRESS")
      ->excludes(file_option);
  app.add_option("--page", page_name,
                 "Page to print: kill (杀码), banker (胆码) or span (杀跨); default kill, or all "
                 "three with --summary")
      ->option_text("kill|banker|span")
      ->check(CLI::IsMember({"kill", "banker", "span"}));
  app.add_option("--position", position_name,
                 "Kill position for the kill page: 1 or 百, 2 or 十, 3 or 个 (default 1)")
      ->option_text("1|2|3|百|十|个")
      ->check(CLI::Validator(
          [](std::string& value) -> std::string {
            if (PositionNamed(value)) return {};
            return "must be 1, 2, 3, 百, 十 or 个, not '" + value + "'";
          },
          "", "position"));
  for (size_t i = 0; i < kBoxOptions.size(); ++i) {
    box_options[i] = app.add_option(kBoxOptions[i].flag, box_values[i], kBoxOptions[i].help)
                         ->option_text("TEXT");
  }
  app.add_option("--encoding", encoding_name,
                 "Encoding of the output: utf-8 (default) or gbk, byte for byte the window's text")
      ->option_text("utf-8|gbk")
      ->check(CLI::IsMember({"utf-8", "gbk"}, CLI::ignore_case));
  app.add_flag("--summary", summary,
               "Print how many lines held per page against the chance baseline, instead of the "
               "text");

  ParsedArguments parsed;
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed = SplitEmptyAssignments(args);
    std::reverse(reversed.begin(), reversed.end());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.message = app.help();
    return parsed;
  } catch (const CLI::CallForAllHelp&) {
    parsed.message = app.help("", CLI::AppFormatMode::All);
    return parsed;
  } catch (const CLI::CallForVersion& version) {
    parsed.message = version.what();
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.exit_code = kExitUsage;
    parsed.message = ErrorLine(std::string(error.what()) + " (see --help)");
    return parsed;
  }

  ReportOptions options;
  if (!page_name.empty()) {
    for (const NamedPage& entry : kPageNames) {
      if (entry.name == page_name) options.page = entry.page;
    }
  }
  options.position = PositionNamed(position_name).value_or(1);
  // The check accepted any letter case.
  std::transform(encoding_name.begin(), encoding_name.end(), encoding_name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  options.encoding = encoding_name == "gbk" ? ReportEncoding::kGbk : ReportEncoding::kUtf8;
  options.texts = InitialBoxTexts();
  for (size_t i = 0; i < kBoxOptions.size(); ++i) {
    if (box_options[i]->count() == 0) continue;
    const std::string& typed = box_values[i];
    const Text gbk = Utf8ToGbk(typed);
    // A character GBK cannot hold would reach the output as "?"; the user
    // is told rather than handed a text that differs from what was typed.
    if (GbkToUtf8(gbk) != typed) {
      parsed.exit_code = kExitUsage;
      parsed.message = ErrorLine(std::string(kBoxOptions[i].flag) +
                                 ": holds a character GBK cannot hold, or is not UTF-8");
      return parsed;
    }
    options.texts.*kBoxOptions[i].field = gbk;
  }
  options.file = file;
  if (!url.empty() || app.count("--url") > 0) options.url = url;
  options.summary = summary;
  parsed.options = std::move(options);
  return parsed;
}

std::vector<HistoryRow> HistoryFromDocument(std::string_view document_bytes) {
  std::vector<HistoryRow> rows;
  for (DrawRecord& record : ParseDrawList(TextFromBytes(document_bytes))) {
    rows.push_back(HistoryRow{std::move(record.issue), std::move(record.digits)});
  }
  return rows;
}

Text BuildReportText(const ReportOptions& options, const std::vector<HistoryRow>& rows,
                     const Notify& notify) {
  const ReportPage page = options.page.value_or(ReportPage::kKill);
  return BuildPageText(AnalysisPageOf(page), rows, options.texts, options.position, notify);
}

std::string EncodeForOutput(const Text& gbk, ReportEncoding encoding) {
  return encoding == ReportEncoding::kGbk ? gbk : GbkToUtf8(gbk);
}

int RunReport(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
              std::ostream& err, const Fetcher& fetch) {
  try {
    const ParsedArguments parsed = ParseReportArguments(args);
    if (!parsed.options) {
      (parsed.exit_code == kExitOk ? out : err) << parsed.message << '\n';
      return parsed.exit_code;
    }
    const ReportOptions& options = *parsed.options;

    Bytes document;
    if (options.url) {
      document = fetch(Utf8ToGbk(*options.url));
      // The window stays silent about a failed download; a terminal user is
      // better served by a hint, and still gets the next-issue line.
      if (document.empty()) err << ErrorLine("nothing was received from " + *options.url) << '\n';
    } else if (options.file.empty() || options.file == "-") {
      document = ReadStream(in);
    } else {
      std::string reason;
      if (!ReadFileBytes(options.file, document, reason)) {
        err << ErrorLine("cannot read " + options.file + ": " + reason) << '\n';
        return kExitUsage;
      }
    }

    // The window reads a document up to its first zero byte and lists what
    // matches, silently; a terminal user is told where reading stopped.
    if (const size_t zero = document.find('\0'); zero != Bytes::npos) {
      err << ErrorLine("warning: the document holds a zero byte at offset " + std::to_string(zero) +
                       "; nothing after it is read")
          << '\n';
    }
    const std::vector<HistoryRow> rows = HistoryFromDocument(document);
    if (rows.empty() && !TextFromBytes(document).empty()) {
      err << ErrorLine("warning: no draw rows were found in the document") << '\n';
    }
    const Notify notify = [&err](const Text& message) { err << GbkToUtf8(message) << '\n'; };

    if (options.summary) {
      std::vector<PageSummary> summaries;
      if (options.page) {
        summaries.push_back(
            SummarizePage(*options.page, options.position, rows, options.texts, notify));
      } else {
        for (const NamedPage& entry : kPageNames) {
          summaries.push_back(
              SummarizePage(entry.page, options.position, rows, options.texts, notify));
        }
      }
      // The summary is ASCII, the same bytes in either encoding.
      out << FormatSummary(summaries, rows.size());
    } else {
      const Text text = BuildReportText(options, rows, notify);
      const std::string encoded = EncodeForOutput(text, options.encoding);
      // Bytes of the document that are not GBK cannot be shown in UTF-8.
      if (options.encoding == ReportEncoding::kUtf8 && Utf8ToGbk(encoded) != text) {
        err << ErrorLine(
                   "warning: the document holds bytes that are not GBK, shown as \"?\"; "
                   "--encoding gbk gives them unchanged")
            << '\n';
      }
      out << encoded;
    }
    out.flush();
    // Output lost on a full disk must not pass for a finished report.
    if (!out) {
      err << ErrorLine("cannot write the output") << '\n';
      return kExitFault;
    }
    return kExitOk;
  } catch (const RuntimeError& error) {
    err << ErrorLine("run-time error " + std::to_string(error.code()) + ": " +
                     GbkToUtf8(error.message()))
        << '\n';
  } catch (const std::exception& error) {
    err << ErrorLine(std::string("internal error: ") + error.what()) << '\n';
  } catch (...) {
    err << ErrorLine("internal error") << '\n';
  }
  return kExitFault;
}

}  // namespace zelkor
