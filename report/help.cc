// The help text, for people: options grouped by what they are for, in
// Simplified Chinese for a zh_* locale and in English otherwise.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backtest/wording.h"
#include "report/report.h"

#ifndef ZELKOR_VERSION
#error "ZELKOR_VERSION must be set by the build"
#endif

namespace zelkor {

HelpLanguage HelpLanguageForLocale(std::string_view locale) {
  std::string lower(locale);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.starts_with("zh") ? HelpLanguage::kChinese : HelpLanguage::kEnglish;
}

std::optional<HelpLanguage> HelpLanguageFromLocaleVariables() {
  // The first of these that is set and not empty names the locale of
  // messages, as the C library takes them.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return HelpLanguageForLocale(value);
  }
  return std::nullopt;
}

namespace {

// Where the help's explanations start, and how long its lines may run.
constexpr size_t kHelpIndent = 24;
constexpr size_t kHelpWidth = 80;

// `words` broken at spaces into lines of the help's explanations, each
// indented.
std::string Explained(std::string_view words) {
  const std::string indent(kHelpIndent, ' ');
  std::string out;
  std::string line = indent;
  size_t start = 0;
  while (start < words.size()) {
    const size_t end = std::min(words.find(' ', start), words.size());
    const std::string_view word = words.substr(start, end - start);
    if (line.size() > kHelpIndent && line.size() + 1 + word.size() > kHelpWidth) {
      out += line + "\n";
      line = indent;
    }
    if (line.size() > kHelpIndent) line += ' ';
    line += word;
    start = end + 1;
  }
  return out + line + "\n";
}

// The --page option with the name of every page, from the page registry.
std::string PageOption(HelpLanguage language) {
  const std::vector<const AnalysisPage*>& pages = AllAnalysisPages();
  std::string names;
  std::string list;
  for (size_t i = 0; i < pages.size(); ++i) {
    const AnalysisPage& page = *pages[i];
    const bool is_default = &page == &KillDigitPage();
    if (i > 0) names += '|';
    names += page.option_name;
    if (language == HelpLanguage::kChinese) {
      if (i > 0) list += "、";
      list.append(page.option_name).append(" ").append(page.chinese_label);
      if (is_default) list += "(默认)";
    } else {
      if (i > 0) list += i + 1 < pages.size() ? ", " : " or ";
      list += page.english_name;
      if (is_default) list += " (the default)";
    }
  }
  // Chinese is not broken at spaces, so its list stays on one line.
  if (language == HelpLanguage::kChinese)
    return "  --page " + names + "\n" + std::string(kHelpIndent, ' ') + "分析页: " + list + "\n";
  return "  --page " + names + "\n" + Explained("the analysis page: " + list);
}

}  // namespace

bool GbkLocaleFromVariables() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    const std::string_view locale(value);
    const size_t dot = locale.find('.');
    if (dot == std::string_view::npos) return false;
    const std::string codeset = AsciiLower(locale.substr(dot + 1, locale.find('@') - dot - 1));
    return codeset == "gbk" || codeset == "gb18030" || codeset == "gb2312";
  }
  return false;
}

ReportEncoding TextEncoding(const ReportOptions& options, const ReportEnvironment& environment) {
  if (options.encoding_given || !options.summary) return options.encoding;
  return environment.gbk_locale ? ReportEncoding::kGbk : options.encoding;
}

std::string HelpText(HelpLanguage language) {
  if (language == HelpLanguage::kChinese) {
    return R"(用法: zelkor3d-report [选项] [文件]

读取开奖列表文档(开奖数据服务提供的 XML),按窗口的方式列出开奖,
打印一个分析页的输出文本,或下一期的预测,或回测统计。

输入
  文件                  开奖列表文档;省略或为 - 时读标准输入
  --url 地址            从 http 或 https 地址下载文档(不能与文件同用)

输出内容
)" + PageOption(HelpLanguage::kChinese) +
           R"(  --position 1|2|3      杀码位置,也可写 百|十|个(默认 1)
  --next                只打印下一期的预测: 每一页,杀码的三个位置
  --summary             回测统计: 命中率与随机基线、最近 100/30 行、遗漏
  --chart 文件.svg      另把各页的滚动命中率画成 SVG 图
  --window N            图的滚动窗口,单位为判定行(默认 100)

输出形式
  --format text|csv|json
                        text 为窗口文本(默认);csv、json 为 UTF-8
  --encoding utf-8|gbk  文本的编码(默认 utf-8;gbk 与窗口逐字节相同)
  --eol lf|crlf         换行符(默认不变: 文本 CRLF,其余 LF)

页面文字(按输入的 UTF-8 使用,默认为窗口的初始文字)
  --separator 文字      分隔符,每行用三次
  --name 文字           方案名称
  --left 文字           预测前的符号
  --right 文字          预测后的符号
  --correct 文字        预测正确的标记
  --wrong 文字          预测错误的标记
  --not-drawn 文字      下一期(未开)的标记
  --footer 文字         最后一行之后的文字

其他
  -h, --help            显示本帮助
  --version             显示版本

选项值不分大小写;同一选项给出多次时以最后一次为准。
退出码: 0 完成;1 内部错误或输出写不出;2 用法或输入错误;
3 得不到开奖数据(下载失败或读不到输入),标准错误上有一行说明原因。
输入最多读 64 MiB,遇到第一个零字节即停止。
)";
  }
  return R"(Usage: zelkor3d-report [options] [FILE]

Reads a 3D draw-list document (the XML the draw-data service serves), lists
the draws as the Zelkor3D window does and prints one analysis page's text,
the next issue's picks, or a backtest of how often the picks held.

Input
  FILE                  the draw-list document; standard input when absent or -
  --url ADDRESS         download the document from an http or https address
                        (instead of FILE)

What to print
)" + PageOption(HelpLanguage::kEnglish) +
         R"(  --position 1|2|3      the kill position, also 百|十|个 (default 1)
  --next                only the next issue's picks: every page, and the kill
                        page at all three positions
  --summary             a backtest: hit rate against the chance baseline, the
                        last 100 and 30 lines, runs of misses
  --chart FILE.svg      also draw each page's rolling hit rate as an SVG chart
  --window N            the chart's rolling window, judged lines (default 100)

How to print it
  --format text|csv|json
                        text is the window's text (the default); csv and json
                        are UTF-8
  --encoding utf-8|gbk  the text's encoding (default utf-8; gbk gives the
                        window's very bytes)
  --eol lf|crlf         the line break (default unchanged: CRLF in the text,
                        LF elsewhere)

Page texts (taken as typed, UTF-8; default the window's initial texts)
  --separator TEXT      separator, used three times in every line
  --name TEXT           name of the proposal
  --left TEXT           symbol before the pick
  --right TEXT          symbol after the pick
  --correct TEXT        mark of a line whose pick held
  --wrong TEXT          mark of a line whose pick failed
  --not-drawn TEXT      mark of the next, undrawn issue's line
  --footer TEXT         text after the last line

Other
  -h, --help            print this help
  --version             print the version

Option values are accepted in any letter case; when an option is given more
than once, the last one counts.
Exit codes: 0 done; 1 internal fault or output that could not be written;
2 usage or input error; 3 the draws could not be had (the download failed or
the input could not be read), with one line on standard error naming the cause.
At most 64 MiB of input is read, and reading stops at the first zero byte.
)";
}

}  // namespace zelkor
