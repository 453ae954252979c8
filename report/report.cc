#include "report/report.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <utility>

#include "report/chart.h"
#include "report/file_input.h"
#include "report/output.h"
#include "report/summary.h"
#include "report/walk_lines.h"
#include "report/wording.h"
#include "runtime/gbk.h"
#include "runtime/program_io.h"
#include "runtime/runtime_error.h"

#ifndef ZELKOR_VERSION
#error "ZELKOR_VERSION must be set by the build"
#endif

namespace zelkor {
namespace {

constexpr std::string_view kProgram = "zelkor3d-report";

template <typename Value>
struct Named {
  std::string_view name;
  Value value;
};

// The kill position by its digit or by the radio button caption of the window.
constexpr std::array<Named<int32_t>, 6> kPositionNames{{
    {"1", 1},
    {"2", 2},
    {"3", 3},
    {"百", 1},
    {"十", 2},
    {"个", 3},
}};
constexpr std::array<Named<ReportEncoding>, 3> kEncodingNames{{
    {"utf-8", ReportEncoding::kUtf8},
    {"utf8", ReportEncoding::kUtf8},
    {"gbk", ReportEncoding::kGbk},
}};
constexpr std::array<Named<ReportFormat>, 3> kFormatNames{{
    {"text", ReportFormat::kText},
    {"csv", ReportFormat::kCsv},
    {"json", ReportFormat::kJson},
}};
constexpr std::array<Named<LineEnd>, 2> kEolNames{{
    {"lf", LineEnd::kLf},
    {"crlf", LineEnd::kCrlf},
}};

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Looks a value up in any letter case.
template <typename Value, size_t N>
std::optional<Value> Lookup(const std::array<Named<Value>, N>& names, std::string_view typed) {
  const std::string lower = Lower(typed);
  for (const Named<Value>& entry : names) {
    if (entry.name == lower) return entry.value;
  }
  return std::nullopt;
}

std::string ErrorLine(std::string_view what) {
  return std::string(kProgram) + ": " + Printable(what);
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

// CLI11's own words name its internals ("1 required TEXT missing"); these
// say the same for a user.
std::string UsageMessage(const CLI::ParseError& error, HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const std::string what = error.what();
  const std::string name = error.get_name();
  if (name == "ArgumentMismatch") {
    return what.substr(0, what.find(':')) + say(": needs a value", ": 需要一个值");
  }
  if (name == "ExcludesError")
    return say("give FILE or --url, not both", "给出文件或 --url,不能都给");
  if (name == "ExtrasError") {
    const size_t colon = what.find(": ");
    const std::string extra = colon == std::string::npos ? what : what.substr(colon + 2);
    return (extra.starts_with("-") ? say("unknown option: ", "未知选项: ")
                                   : say("unexpected argument: ", "多余的参数: ")) +
           extra;
  }
  return what;
}

// The page names --page takes: "kill, banker or span".
std::string PageNameChoice(HelpLanguage language) {
  const std::vector<const AnalysisPage*>& pages = AllAnalysisPages();
  std::string choice;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) {
      choice += i + 1 < pages.size() ? InLanguage(language, ", ", "、")
                                     : InLanguage(language, " or ", " 或 ");
    }
    choice += pages[i]->option_name;
  }
  return choice;
}

std::string MiB(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// The draws of a document, newest first, with each draw's opentime.
struct History {
  std::vector<HistoryRow> rows;
  std::vector<Text> opentimes;
};

// The opentime attribute of the row whose units part is `units`. The row
// pattern runs on from the units through `" opentime="` to the first
// `" trycode="` after it: in a row that matched, that is where the lazy
// group ends.
std::string_view OpenTimeAfter(std::string_view document, std::string_view units) {
  constexpr std::string_view kOpenTime = "\" opentime=\"";
  constexpr std::string_view kTryCode = "\" trycode=\"";
  const size_t start =
      static_cast<size_t>(units.data() + units.size() - document.data()) + kOpenTime.size();
  const size_t end = document.find(kTryCode, start);
  if (start > document.size() || end == std::string_view::npos) return {};
  return document.substr(start, end - start);
}

// The draws of a document, which is left empty to free its memory.
History TakeHistory(Bytes& document) {
  History history;
  // Capacity never touched costs no memory.
  history.rows.reserve(MostDrawsIn(document));
  const std::string_view whole = document;
  ForEachDraw(document, [&history, whole](std::string_view issue, std::string_view hundreds,
                                          std::string_view tens, std::string_view units) {
    history.rows.push_back(HistoryRow{Text(issue), TextJoin(hundreds, tens, units)});
    history.opentimes.emplace_back(OpenTimeAfter(whole, units));
  });
  Bytes().swap(document);
  return history;
}

// The pages a summary, a next-pick list or a chart covers, each with its
// kill position: every kill position when `all_positions`.
std::vector<PageAt> PagesFor(const ReportOptions& options, bool all_positions) {
  std::vector<PageAt> pages;
  if (all_positions) {
    pages = TestedPages(options.position);
  } else {
    for (const AnalysisPage* page : AllAnalysisPages()) pages.emplace_back(page, options.position);
  }
  std::erase_if(pages, [&options](const PageAt& entry) {
    return options.page != nullptr && entry.first != options.page;
  });
  return pages;
}

// Exit for a download that brought nothing usable.
struct NoDraws {
  int code;
  std::string message;
};

}  // namespace

std::string Printable(std::string_view argument) {
  std::string shown;
  shown.reserve(argument.size());
  const auto hex = [&shown](unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    shown += "\\x";
    shown.push_back(kDigits[byte >> 4]);
    shown.push_back(kDigits[byte & 0xF]);
  };
  size_t i = 0;
  while (i < argument.size()) {
    const auto byte = static_cast<unsigned char>(argument[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '\n':
          shown += "\\n";
          break;
        case '\r':
          shown += "\\r";
          break;
        case '\t':
          shown += "\\t";
          break;
        case 0x1B:
          shown += "\\e";
          break;
        case '\\':
          shown += "\\\\";
          break;
        default:
          if (byte < 0x20 || byte == 0x7F) {
            hex(byte);
          } else {
            shown.push_back(static_cast<char>(byte));
          }
      }
      ++i;
      continue;
    }
    // A well-formed UTF-8 sequence passes unless it is a C1 control
    // character (U+0080 to U+009F), which terminals obey too.
    size_t length = 0;
    uint32_t code = 0;
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
      code = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      code = byte & 0x0Fu;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      code = byte & 0x07u;
    }
    bool valid = length > 0 && i + length <= argument.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(argument[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (valid) {
      // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
      static constexpr std::array<uint32_t, 5> kLeast{0, 0, 0x80, 0x800, 0x10000};
      valid = code >= kLeast[length] && (code < 0xD800 || code > 0xDFFF) && code <= 0x10FFFF &&
              !(code >= 0x80 && code <= 0x9F);
    }
    if (valid) {
      shown.append(argument.substr(i, length));
      i += length;
    } else {
      hex(byte);
      ++i;
    }
  }
  return shown;
}

bool IsHttpAddress(std::string_view address) {
  const std::string lower = Lower(address);
  size_t rest = 0;
  if (lower.starts_with("http://")) {
    rest = 7;
  } else if (lower.starts_with("https://")) {
    rest = 8;
  } else {
    return false;
  }
  // The authority runs to the first "/", "?" or "#"; its host is what is
  // left after any "user@" and before any ":port".
  const std::string_view tail = address.substr(rest);
  std::string_view authority = tail.substr(0, tail.find_first_of("/?#"));
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority = authority.substr(at + 1);
  }
  std::string_view host = authority;
  if (host.starts_with("[")) {
    const size_t close = host.find(']');
    if (close == std::string_view::npos || close == 1) return false;
    host = host.substr(1, close - 1);
  } else {
    host = host.substr(0, host.find(':'));
  }
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7F && c != '%' && c != '!' && c != '"' && c != '<' &&
           c != '>' && c != '\\' && c != '^' && c != '`' && c != '{' && c != '|' && c != '}';
  });
}

ParsedArguments ParseReportArguments(const std::vector<std::string>& args, HelpLanguage language) {
  CLI::App app{"", std::string(kProgram)};
  app.set_help_flag();
  // CLI11 would take "/x" for an option on Windows, and so an absolute path
  // written the Unix way; the options are the same on every platform.
  app.allow_windows_style_options(false);
  // The usual convention: an option given again replaces what it said.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  std::string file;
  std::string url;
  std::string page_name;
  std::string position_name = "1";
  std::string encoding_name = "utf-8";
  std::string format_name = "text";
  std::string eol_name;
  std::string chart;
  std::string window_text;
  bool summary = false;
  bool next = false;
  bool help = false;
  bool version = false;
  std::array<std::string, layout::kPageSettings.size()> box_values;
  std::array<CLI::Option*, layout::kPageSettings.size()> box_options{};

  CLI::Option* file_option = app.add_option("FILE", file);
  app.add_option("--url", url)->excludes(file_option);
  app.add_option("--page", page_name);
  app.add_option("--position", position_name);
  for (size_t i = 0; i < layout::kPageSettings.size(); ++i) {
    box_options[i] = app.add_option(std::string(layout::kPageSettings[i].option), box_values[i]);
  }
  app.add_option("--encoding", encoding_name);
  app.add_option("--format", format_name);
  app.add_option("--eol", eol_name);
  app.add_option("--chart", chart);
  app.add_option("--window", window_text);
  app.add_flag("--summary", summary);
  app.add_flag("--next", next);
  app.add_flag("-h,--help", help);
  app.add_flag("--version", version);

  ParsedArguments parsed;
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const auto usage = [&parsed, &say](std::string_view what) {
    parsed.exit_code = kExitUsage;
    parsed.message = ErrorLine(std::string(what) + say(" (see --help)", "(见 --help)"));
    return parsed;
  };
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed = SplitEmptyAssignments(args);
    std::reverse(reversed.begin(), reversed.end());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return usage(UsageMessage(error, language));
  }
  if (help) {
    parsed.message = HelpText(language);
    return parsed;
  }
  if (version) {
    parsed.message = std::string(kProgram) + " " + ZELKOR_VERSION + "\n";
    return parsed;
  }

  ReportOptions options;
  const auto bad_value = [&usage, &say](std::string_view option, std::string_view allowed,
                                        std::string_view typed) {
    return usage(std::string(option) + say(": must be ", ": 应为 ") + std::string(allowed) +
                 say(", not '", ",而不是 '") + std::string(typed) + "'");
  };
  if (app.count("--page") > 0) {
    options.page = AnalysisPageNamed(Lower(page_name));
    if (options.page == nullptr) return bad_value("--page", PageNameChoice(language), page_name);
  }
  const std::optional<int32_t> position = Lookup(kPositionNames, position_name);
  if (!position)
    return bad_value("--position", say("1, 2, 3, 百, 十 or 个", "1、2、3、百、十 或 个"),
                     position_name);
  options.position = *position;
  const std::optional<ReportEncoding> encoding = Lookup(kEncodingNames, encoding_name);
  if (!encoding) return bad_value("--encoding", say("utf-8 or gbk", "utf-8 或 gbk"), encoding_name);
  options.encoding = *encoding;
  const std::optional<ReportFormat> format = Lookup(kFormatNames, format_name);
  if (!format)
    return bad_value("--format", say("text, csv or json", "text、csv 或 json"), format_name);
  options.format = *format;
  if (app.count("--eol") > 0) {
    const std::optional<LineEnd> eol = Lookup(kEolNames, eol_name);
    if (!eol) return bad_value("--eol", say("lf or crlf", "lf 或 crlf"), eol_name);
    options.eol = *eol;
  }
  if (app.count("--window") > 0) {
    int32_t window = 0;
    const char* end = window_text.data() + window_text.size();
    const auto [stop, error] = std::from_chars(window_text.data(), end, window);
    if (error != std::errc() || stop != end || window < 1) {
      return bad_value("--window", say("a whole number of lines from 1", "从 1 起的整数行数"),
                       window_text);
    }
    options.window = window;
  }
  if (app.count("--chart") > 0) {
    if (chart.empty()) return usage(say("--chart: needs a file name", "--chart: 需要一个文件名"));
    options.chart = chart;
  }
  if (summary && next)
    return usage(say("--summary and --next ask for different reports; give one",
                     "--summary 和 --next 要的是不同的报告;只给一个"));

  options.texts = InitialPageTexts();
  for (size_t i = 0; i < layout::kPageSettings.size(); ++i) {
    if (box_options[i]->count() == 0) continue;
    const std::string& typed = box_values[i];
    const Text gbk = Utf8ToGbk(typed);
    // A character GBK cannot hold would reach the output as "?"; the user
    // is told rather than handed a text that differs from what was typed.
    if (GbkToUtf8(gbk) != typed) {
      return usage(std::string(layout::kPageSettings[i].option) +
                   say(": holds a character GBK cannot hold, or is not UTF-8",
                       ": 含有 GBK 无法表示的字符,或不是 UTF-8"));
    }
    options.texts.*layout::kPageSettings[i].member = gbk;
  }
  options.file = file;
  if (app.count("--url") > 0) {
    if (!IsHttpAddress(url))
      return usage(
          say("--url: not an http or https address: '", "--url: 不是 http 或 https 地址: '") + url +
          "'");
    options.url = url;
  }
  options.summary = summary;
  options.next = next;
  parsed.options = std::move(options);
  return parsed;
}

InputDocument ReadDocument(std::istream& in, size_t max_bytes, size_t size_hint) {
  InputDocument document;
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr || in.bad()) {
    document.error = "the input stream is not readable";
    return document;
  }
  // Bytes are read straight into the document, in steps that grow with it;
  // a known size (a file's) is taken in one step.
  constexpr size_t kFirstStep = size_t{1} << 16;
  Bytes& bytes = document.bytes;
  size_t filled = 0;
  try {
    while (true) {
      // One byte past the cap tells whether there is more.
      const size_t room = max_bytes + 1 - filled;
      const size_t step = std::min(
          room, std::max({kFirstStep, filled, size_hint > filled ? size_hint - filled + 1 : 0}));
      bytes.resize(filled + step);
      const auto got = static_cast<size_t>(
          buffer->sgetn(bytes.data() + filled, static_cast<std::streamsize>(step)));
      const void* zero = std::memchr(bytes.data() + filled, 0, got);
      if (zero != nullptr) {
        filled = static_cast<size_t>(static_cast<const char*>(zero) - bytes.data());
        document.zero_at = filled;
        break;
      }
      filled += got;
      if (filled > max_bytes) {
        filled = max_bytes;
        document.cut = true;
        break;
      }
      if (got < step) break;
    }
  } catch (const std::exception& error) {
    document.error = error.what();
  } catch (...) {
    document.error = "read error";
  }
  bytes.resize(filled);
  return document;
}

namespace {

void Warn(std::ostream& err, HelpLanguage language, std::string_view what) {
  err << ErrorLine(std::string(InLanguage(language, "warning: ", "警告:")) + std::string(what))
      << '\n';
}

// The draws of the document the options name, or the exit code of a failure
// already told on `err`.
struct Obtained {
  History history;
  int exit_code = kExitOk;
};

Obtained ObtainRows(const ReportOptions& options, std::istream& in, std::ostream& err,
                    const Fetcher& fetch, const ReportEnvironment& environment) {
  Obtained obtained;
  const HelpLanguage language = environment.language;
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const auto fail = [&err, &obtained](int code, std::string_view line) {
    err << ErrorLine(line) << '\n';
    obtained.exit_code = code;
    return std::move(obtained);
  };
  // What reading found is said once it is clear the draws were had: a
  // failure is one line.
  std::vector<std::string> notes;
  const std::string cut_at = MiB(kMaxBodyBytes) + " (byte " + std::to_string(kMaxBodyBytes) + ")";
  Bytes document;
  std::string fell_short;  // why a download came up short, when it did
  if (options.url) {
    FetchResult fetched = fetch(Utf8ToGbk(*options.url));
    // The address itself is at fault: a usage error, as when it is checked.
    if (fetched.failure == "not an http or https address" ||
        fetched.failure == "malformed address") {
      return fail(kExitUsage,
                  "--url: " + fetched.failure + ": '" + *options.url + "' (see --help)");
    }
    // An error status is an answer, but not the document.
    if (!fetched.failure.empty() &&
        (fetched.body.empty() || fetched.failure.starts_with("HTTP "))) {
      return fail(kExitNoDraws,
                  say("cannot download ", "无法下载 ") + *options.url + ": " + fetched.failure);
    }
    document = std::move(fetched.body);
    if (const size_t zero = document.find('\0'); zero != Bytes::npos) {
      notes.push_back(say("the document holds a zero byte at offset ", "文档在偏移 ") +
                      std::to_string(zero) +
                      say("; nothing after it is read", " 处有零字节;其后的内容不读取"));
      document.resize(zero);
    }
    // A whole answer with an empty body is a document without rows; the
    // user still hears of it.
    if (fetched.failure.empty() && document.empty()) {
      notes.push_back(say("nothing was received from ", "没有收到任何内容:") + *options.url);
    }
    if (fetched.cut) {
      notes.push_back(say("the download was cut at ", "下载在 ") + cut_at +
                      say("; draws after that point are not listed", " 处截断;其后的开奖不列出"));
    } else if (!fetched.failure.empty()) {
      fell_short = fetched.failure;
    }
  } else {
    InputDocument input;
    std::string name = say("standard input", "标准输入");
    if (options.file.empty() || options.file == "-") {
      if (environment.input_is_terminal) {
        Warn(err, language,
             say("reading the draw list from standard input; end it with Ctrl-D (Ctrl-Z, Enter "
                 "on Windows), or give FILE or --url (see --help)",
                 "从标准输入读取开奖列表;以 Ctrl-D 结束(Windows 上 Ctrl-Z 加回车),"
                 "或给出文件或 --url(见 --help)"));
      }
      input = ReadDocument(in);
    } else {
      name = options.file;
      errno = 0;
      const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(options.file),
                                                                 &std::fclose);
      if (file == nullptr) {
        input.error = errno != 0 ? std::strerror(errno) : "cannot open";
      } else {
        // The size of a regular file lets it be read in one step.
        size_t size_hint = 0;
        if (std::fseek(file.get(), 0, SEEK_END) == 0) {
          const long size = std::ftell(file.get());
          if (size > 0) size_hint = static_cast<size_t>(size);
        }
        std::clearerr(file.get());
        if (std::fseek(file.get(), 0, SEEK_SET) != 0) size_hint = 0;
        FileReadBuffer buffer(file.get());
        std::istream stream(&buffer);
        input = ReadDocument(stream, kMaxBodyBytes, size_hint);
      }
    }
    if (!input.error.empty()) {
      return fail(kExitNoDraws, say("cannot read ", "无法读取 ") + name + ": " + input.error);
    }
    document = std::move(input.bytes);
    // The window reads a document up to its first zero byte and lists what
    // matches, silently; a terminal user is told where reading stopped.
    if (input.zero_at) {
      notes.push_back(say("the document holds a zero byte at offset ", "文档在偏移 ") +
                      std::to_string(*input.zero_at) +
                      say("; nothing after it is read", " 处有零字节;其后的内容不读取"));
    }
    if (input.cut) {
      notes.push_back(say("the input was cut at ", "输入在 ") + cut_at +
                      say("; nothing after that point is read", " 处截断;其后的内容不读取"));
    }
  }

  obtained.history = TakeHistory(document);
  if (!fell_short.empty()) {
    if (obtained.history.rows.empty()) {
      return fail(kExitNoDraws,
                  say("cannot download ", "无法下载 ") + *options.url + ": " + fell_short);
    }
    notes.push_back(say("the download fell short (", "下载未完成(") + fell_short +
                    say("); listing the ", ");列出已收到的 ") +
                    std::to_string(obtained.history.rows.size()) +
                    say(" draws that arrived", " 期开奖"));
  }
  for (const std::string& note : notes) Warn(err, language, note);
  return obtained;
}

// Writes what the options ask for from the listed draws.
class ReportWriter {
 public:
  ReportWriter(const ReportOptions& options, const History& history, std::ostream& out,
               std::ostream& err, HelpLanguage language)
      : options_(options),
        language_(language),
        rows_(history.rows),
        opentimes_(history.opentimes),
        err_(err),
        writer_(out, options.eol),
        csv_(options.format == ReportFormat::kCsv),
        json_(options.format == ReportFormat::kJson),
        record_end_(csv_ ? "\r\n" : "\n"),
        notify_([&err](const Text& issue, const Text& message) {
          err << kProgram << ": " << Printable(FieldUtf8(issue)) << "期: " << GbkToUtf8(message)
              << '\n';
        }) {}

  // The page's text, or its lines as CSV or JSON.
  void Page() {
    const AnalysisPage& page = options_.page != nullptr ? *options_.page : KillDigitPage();
    const int32_t position = options_.position;
    const PageAt key(&page, position);
    // The chart may have walked this page already and told its notices.
    const IssueNotify& notify = Walked(key) ? kSilent : notify_;
    if (!csv_ && !json_) {
      const Text text = WalkPage(page, position, rows_, options_.texts, notify, nullptr);
      // Bytes of the document that are not GBK cannot be shown in UTF-8.
      if (!WriteEncoded(writer_, text, options_.encoding)) {
        Warn(err_, language_,
             Say("the document holds bytes that are not GBK, shown as \"?\"; --encoding gbk "
                 "gives them unchanged",
                 "文档中有不是 GBK 的字节,显示为 \"?\";--encoding gbk 原样输出"));
      }
      walked_.push_back(key);
      return;
    }
    // Lines are written as the walk makes them; the summary figures of JSON
    // come from the same walk.
    ChanceTable chances(page, position);
    std::vector<LineOutcome> lines;
    double next_chance = 0.0;
    if (csv_) writer_.Write(CsvLineHeader() + record_end_);
    if (json_) writer_.Write("{\"draws\":" + std::to_string(rows_.size()) + ",\"lines\":[\n");
    [[maybe_unused]] const Text text =
        WalkPage(page, position, rows_, options_.texts, notify, [&](const WalkLine& line) {
          const std::string_view opentime = OpenTimeOf(line, lines.size());
          if (csv_) {
            writer_.Write(CsvLine(page, position, line, opentime) + record_end_);
          } else {
            writer_.Write((lines.empty() ? "" : ",\n") + JsonLine(page, position, line, opentime));
          }
          const double chance = chances.Of(Text(line.pick));
          if (line.held) {
            lines.push_back({*line.held, chance});
          } else {
            next_chance = chance;
          }
        });
    walked_.push_back(key);
    if (json_) {
      writer_.Write("\n],\"summary\":" +
                    JsonSummary(SummarizeOutcomes(page, position, lines, next_chance)) + "}\n");
    }
  }

  // The next issue's picks.
  void Next() {
    std::string issue;
    std::string source;
    Text text;
    if (csv_) writer_.Write(CsvLineHeader() + record_end_);
    if (json_) writer_.Write("{\"next\":[\n");
    bool first = true;
    for (const auto& [page_in, position_in] : PagesFor(options_, true)) {
      const AnalysisPage& page = *page_in;
      const int32_t position = position_in;
      WalkNextLine(page, position, rows_, options_.texts, [&](const WalkLine& line) {
        if (csv_) writer_.Write(CsvLine(page, position, line, {}) + record_end_);
        if (json_) {
          writer_.Write((first ? "" : ",\n") + JsonLine(page, position, line, {}));
          first = false;
        }
        issue = line.issue;
        source = line.source_digits;
        // The labels go out with the picks, in the page text's encoding.
        const std::string label = Utf8ToGbk(PageLabel(page, position, language_));
        text += label + std::string(std::max<size_t>(19, label.size() + 1) - label.size(), ' ');
        text.append(line.pick).append("\n");
      });
    }
    if (json_) writer_.Write("\n]}\n");
    if (!csv_ && !json_) {
      text = Utf8ToGbk(Say("Next issue ", "下一期 ")) + issue +
             Utf8ToGbk(Say(", picked from the digits ", ",由开奖号 ")) + source +
             Utf8ToGbk(Say("", " 选出")) + "\n" + text;
      if (!WriteEncoded(writer_, text, options_.encoding)) {
        Warn(err_, language_,
             Say("the document holds bytes that are not GBK, shown as \"?\"",
                 "文档中有不是 GBK 的字节,显示为 \"?\""));
      }
    }
  }

  // The backtest of every page the options cover.
  void Summary() {
    std::vector<PageSummary> summaries;
    for (const auto& [page, position] : PagesFor(options_, true)) {
      const Outcomes& outcomes = OutcomesOf(*page, position);
      summaries.push_back(
          SummarizeOutcomes(*page, position, outcomes.lines, outcomes.next_hold_chance));
    }
    if (csv_) {
      writer_.Write(CsvSummaryHeader() + record_end_);
      for (const PageSummary& summary : summaries) {
        writer_.Write(CsvSummary(summary) + record_end_);
      }
    } else if (json_) {
      writer_.Write("{\"draws\":" + std::to_string(rows_.size()) + ",\"summary\":[\n");
      for (size_t i = 0; i < summaries.size(); ++i) {
        writer_.Write(JsonSummary(summaries[i]) + (i + 1 < summaries.size() ? ",\n" : "\n"));
      }
      writer_.Write("]}\n");
    } else {
      // The summary is ASCII, the same bytes in either encoding.
      writer_.Write(FormatSummary(summaries, rows_.size(), language_));
    }
  }

  void Finish() { writer_.Finish(); }

  // Writes the chart; false when it could not be written (already told).
  [[nodiscard]] bool Chart() {
    std::vector<ChartSeries> series;
    for (const auto& [page, position] : PagesFor(options_, false)) {
      series.push_back({PageLabel(*page, position, language_), OutcomesOf(*page, position).lines});
    }
    // Judged line i checks the draw rows[n - 1 - i], oldest first.
    const std::string svg = BuildChartSvg(
        series, [this](size_t i) { return FieldUtf8(rows_[rows_.size() - 2 - i].issue); },
        options_.window, language_);
    errno = 0;
    std::FILE* file = std::fopen(options_.chart.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
    std::string reason = std::strerror(errno);
    if (file != nullptr && std::fclose(file) != 0) {
      written = false;
      reason = std::strerror(errno);
    }
    if (!written) {
      err_ << ErrorLine(Say("cannot write the chart to ", "无法写入图表 ") + options_.chart + ": " +
                        reason)
           << '\n';
    }
    return written;
  }

 private:
  // A page's judged lines, oldest first, and the chance of its next pick.
  struct Outcomes {
    std::vector<LineOutcome> lines;
    double next_hold_chance = 0.0;
  };

  [[nodiscard]] bool Walked(const PageAt& key) const {
    return std::find(walked_.begin(), walked_.end(), key) != walked_.end();
  }

  // The opentime of the checked draw of a line, given the judged lines
  // before it; the next-issue line has none.
  [[nodiscard]] std::string_view OpenTimeOf(const WalkLine& line, size_t judged_before) const {
    // Judged line i (from 0) checks rows[n - 1 - i], n = rows.size() - 1.
    if (!line.held || rows_.size() < judged_before + 2) return {};
    return opentimes_[rows_.size() - 2 - judged_before];
  }

  // The judged lines of a page, walked once; the walk's notices are told
  // unless the page was walked already.
  const Outcomes& OutcomesOf(const AnalysisPage& page, int32_t position) {
    const PageAt key(&page, position);
    for (const auto& entry : outcomes_) {
      if (entry.first == key) return entry.second;
    }
    ChanceTable chances(page, position);
    Outcomes outcomes;
    outcomes.lines.reserve(rows_.size());
    [[maybe_unused]] const Text text =
        WalkPage(page, position, rows_, options_.texts, Walked(key) ? kSilent : notify_,
                 [&](const WalkLine& line) {
                   const double chance = chances.Of(Text(line.pick));
                   if (line.held) {
                     outcomes.lines.push_back({*line.held, chance});
                   } else {
                     outcomes.next_hold_chance = chance;
                   }
                 });
    walked_.push_back(key);
    outcomes_.emplace_back(key, std::move(outcomes));
    return outcomes_.back().second;
  }

  inline static const IssueNotify kSilent;

  [[nodiscard]] std::string Say(std::string_view english, std::string_view chinese) const {
    return std::string(InLanguage(language_, english, chinese));
  }

  const ReportOptions& options_;
  HelpLanguage language_;
  const std::vector<HistoryRow>& rows_;
  const std::vector<Text>& opentimes_;
  std::ostream& err_;
  LineEndWriter writer_;
  bool csv_;
  bool json_;
  std::string record_end_;
  IssueNotify notify_;
  std::vector<PageAt> walked_;
  std::vector<std::pair<PageAt, Outcomes>> outcomes_;
};

}  // namespace

int RunReport(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
              std::ostream& err, const Fetcher& fetch, const ReportEnvironment& environment) {
  // Output lost on a full disk or a closed stream must not pass for a
  // finished report.
  const HelpLanguage language = environment.language;
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const auto finish = [&out, &err, &say](int code) {
    out.flush();
    if (!out) {
      err << ErrorLine(say("cannot write the output", "无法写出输出")) << '\n';
      return kExitFault;
    }
    return code;
  };
  try {
    const ParsedArguments parsed = ParseReportArguments(args, environment.language);
    if (!parsed.options) {
      if (parsed.exit_code != kExitOk) {
        err << parsed.message << '\n';
        return parsed.exit_code;
      }
      out << parsed.message;
      return finish(kExitOk);
    }
    const ReportOptions& options = *parsed.options;
    const Obtained obtained = ObtainRows(options, in, err, fetch, environment);
    if (obtained.exit_code != kExitOk) return obtained.exit_code;
    if (obtained.history.rows.empty()) {
      // Only the page text has a meaning for an empty list (the window's);
      // figures, picks and records made from no draws would pass a wrong
      // document off as a result.
      if (options.summary || options.next || !options.chart.empty() ||
          options.format != ReportFormat::kText) {
        err << ErrorLine(say("no draws were found in the document", "文档中没有找到开奖")) << '\n';
        return kExitNoDraws;
      }
      Warn(err, language,
           say("no draws were found in the document; the page is the window's for an empty list",
               "文档中没有找到开奖;页面是窗口对空列表给出的输出"));
    }

    ReportWriter report(options, obtained.history, out, err, language);
    // The chart comes first, so that a reader who stops reading the output
    // early (as `head` does) still gets it.
    const bool chart_written = options.chart.empty() || report.Chart();
    if (options.summary) {
      report.Summary();
    } else if (options.next) {
      report.Next();
    } else {
      report.Page();
    }
    report.Finish();
    if (!chart_written) {
      out.flush();
      return kExitFault;
    }
    return finish(kExitOk);
  } catch (const RuntimeError& error) {
    err << ErrorLine(say("run-time error ", "运行时错误 ") + std::to_string(error.code()) + ": " +
                     GbkToUtf8(error.message()))
        << '\n';
  } catch (const std::exception& error) {
    err << ErrorLine(say("internal error: ", "内部错误:") + error.what()) << '\n';
  } catch (...) {
    err << ErrorLine(say("internal error", "内部错误")) << '\n';
  }
  return kExitFault;
}

}  // namespace zelkor
