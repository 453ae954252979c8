#include "report/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

#include "backtest/wording.h"
#include "report/address.h"
#include "report/messages.h"
#include "runtime/gbk.h"
#include "ui/layout.h"

#ifndef ZELKOR_VERSION
#error "ZELKOR_VERSION must be set by the build"
#endif

namespace zelkor {
namespace {

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

// Looks a value up in any letter case.
template <typename Value, size_t N>
std::optional<Value> Lookup(const std::array<Named<Value>, N>& names, std::string_view typed) {
  const std::string lower = AsciiLower(typed);
  for (const Named<Value>& entry : names) {
    if (entry.name == lower) return entry.value;
  }
  return std::nullopt;
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

// CLI11's own words name its internals ("1 required TEXT missing") and are
// English; these say the same for a user, in the user's language, with
// CLI11's words in brackets where the message is not one of the known ones.
std::string UsageMessage(const CLI::ParseError& error, HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const std::string what = error.what();
  // The part after "...: ", which names the arguments or the option.
  const auto tail = [&what] {
    const size_t colon = what.find(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
  };
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return what.substr(0, what.find(':')) + say(": needs a value", ": 需要一个值");
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr)
    return say("give FILE or --url, not both", "给出文件或 --url,不能都给");
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const std::string extra = tail();
    return (extra.starts_with("-") ? say("unknown option: ", "未知选项: ")
                                   : say("unexpected argument: ", "多余的参数: ")) +
           extra;
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    // A value given to a flag, e.g. "--help=x".
    return say("an option that takes no value was given one: ", "这个选项不接受值: ") + tail();
  }
  return language == HelpLanguage::kChinese ? "参数有误(" + what + ")" : what;
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

}  // namespace

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
    options.page = AnalysisPageNamed(AsciiLower(page_name));
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
  options.encoding_given = app.count("--encoding") > 0;
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
      return bad_value("--window", say("a whole number of lines from 1", "不小于 1 的整数"),
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
                     "--summary 与 --next 不能同时使用"));

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

}  // namespace zelkor
