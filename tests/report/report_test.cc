#include "report/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/wording.h"
#include "report/output.h"
#include "runtime/gbk.h"
#include "runtime/runtime_error.h"
#include "ui/layout.h"
#include "ui/page_texts.h"

namespace zelkor {
namespace {

std::string Row(const std::string& issue, const std::string& opencode) {
  return "<row expect=\"" + issue + "\" opencode=\"" + opencode +
         "\" opentime=\"2023-05-04 21:15:00\" trycode=\"1,2,3\" tryinfo=\"\" />\n";
}

std::string Document(const std::vector<std::string>& rows) {
  std::string document = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<xml>\n";
  for (const std::string& row : rows) document += row;
  return document + "</xml>\n";
}

// Newest first, as the draw-data service lists them.
const std::string& SampleDocument() {
  static const std::string document =
      Document({Row("2024006", "3,0,1"), Row("2024005", "9,9,9"), Row("2024004", "5,5,0"),
                Row("2024003", "7,8,9"), Row("2024002", "4,5,6"), Row("2024001", "1,2,3")});
  return document;
}

std::vector<HistoryRow> SampleRows() {
  return {{"2024006", "301"}, {"2024005", "999"}, {"2024004", "550"},
          {"2024003", "789"}, {"2024002", "456"}, {"2024001", "123"}};
}

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
  std::vector<Text> fetched;
};

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = {},
                const Bytes& body = {}) {
  FetchResult fetched;
  fetched.body = body;
  ToolRun run;
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  run.code = RunReport(args, in, out, err, [&run, &fetched](const Text& address) {
    run.fetched.push_back(address);
    return fetched;
  });
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string WriteTempFile(const std::string& name, const std::string& bytes) {
  const std::string path = ::testing::TempDir() + "zelkor_report_" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

size_t LineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

PageTexts Defaults() { return InitialPageTexts(); }

// The printed text must be the window's text for the same rows, page,
// position and box texts; each case changes what the options decide.
struct TextCase {
  const char* label;
  std::vector<std::string> args;
  const AnalysisPage& (*page)();
  int32_t position;
  PageTexts texts;
};

std::vector<TextCase> TextCases() {
  PageTexts custom = Defaults();
  custom.separator = Gbk("|");
  custom.name = Gbk("测试名");
  custom.left = Gbk("<");
  custom.right = Gbk(">");
  custom.correct = Gbk("对");
  custom.wrong = Gbk("错");
  custom.not_drawn = Gbk("待开");
  custom.footer = Gbk("尾注\r\n第二行");
  PageTexts empty_name = Defaults();
  empty_name.name.clear();
  empty_name.footer.clear();
  return {
      {"defaults", {}, KillDigitPage, 1, Defaults()},
      {"banker", {"--page", "banker"}, BankerDigitPage, 1, Defaults()},
      {"span", {"--page", "span"}, KillSpanPage, 1, Defaults()},
      {"position 2", {"--position", "2"}, KillDigitPage, 2, Defaults()},
      {"position 十", {"--position", "十"}, KillDigitPage, 2, Defaults()},
      {"position 个", {"--page", "kill", "--position=个"}, KillDigitPage, 3, Defaults()},
      {"position 百", {"--position", "百"}, KillDigitPage, 1, Defaults()},
      {"all box texts",
       {"--separator", "|", "--name", "测试名", "--left", "<", "--right", ">", "--correct", "对",
        "--wrong", "错", "--not-drawn", "待开", "--footer", "尾注\r\n第二行", "--page", "banker"},
       BankerDigitPage,
       1,
       custom},
      {"empty values", {"--name", "", "--footer="}, KillDigitPage, 1, empty_name},
  };
}

TEST(ReportText, EqualsTheWindowsTextInBothEncodings) {
  const std::string path = WriteTempFile("sample.xml", SampleDocument());
  const Notify ignore = [](const Text&) {};
  for (const TextCase& test : TextCases()) {
    SCOPED_TRACE(test.label);
    const Text expected =
        BuildPageText(test.page(), SampleRows(), test.texts, test.position, ignore);

    std::vector<std::string> gbk_args = test.args;
    gbk_args.insert(gbk_args.end(), {"--encoding", "gbk", path});
    const ToolRun gbk = RunTool(gbk_args);
    EXPECT_EQ(gbk.code, kExitOk) << gbk.err;
    EXPECT_EQ(gbk.out, expected);
    EXPECT_EQ(gbk.err, "");

    std::vector<std::string> utf8_args = test.args;
    utf8_args.push_back(path);
    const ToolRun utf8 = RunTool(utf8_args);
    EXPECT_EQ(utf8.code, kExitOk) << utf8.err;
    EXPECT_EQ(utf8.out, GbkToUtf8(expected));
  }
}

// A long page goes out a piece at a time as it is walked: put together, the
// pieces are the window's whole text in either encoding, with every line
// break changed across their seams too.
TEST(ReportText, ALongPageIsTheWholeTextAcrossItsPieces) {
  std::vector<std::string> document_rows;
  std::vector<HistoryRow> rows;
  for (int i = 6000; i > 0; --i) {
    const int number = i * 37 % 1000;
    const std::string digits = {static_cast<char>('0' + number / 100),
                                static_cast<char>('0' + number / 10 % 10),
                                static_cast<char>('0' + number % 10)};
    document_rows.push_back(
        Row(std::to_string(2000000 + i),
            TextJoin(digits.substr(0, 1), ",", digits.substr(1, 1), ",", digits.substr(2, 1))));
    rows.push_back({std::to_string(2000000 + i), digits});
  }
  const std::string document = Document(document_rows);
  const Text expected = BuildPageText(KillDigitPage(), rows, Defaults(), 1, [](const Text&) {});
  EXPECT_EQ(RunTool({"--encoding", "gbk"}, document).out, expected);
  EXPECT_EQ(RunTool({}, document).out, GbkToUtf8(expected));
  EXPECT_EQ(RunTool({"--eol", "lf"}, document).out, TextReplace(GbkToUtf8(expected), "\r\n", "\n"));
}

TEST(ReportText, GbkOutputIsByteExact) {
  const std::string document =
      Document({Row("2024003", "7,8,9"), Row("2024002", "4,5,6"), Row("2024001", "1,2,3")});
  const ToolRun run = RunTool({"--encoding", "GBK", "--footer", ""}, document);
  ASSERT_EQ(run.code, kExitOk) << run.err;
  // ┊ A9 AE, 期 C6 DA, 杀码 C9 B1 C2 EB, 【 A1 BE, 】 A1 BF, 错 B4 ED, Ｘ A3 D8,
  // 准 D7 BC, √ A1 CC, 未开 CE B4 BF AA.
  const std::string head = "\xA9\xAE";
  const std::string tail = "\xC6\xDA:Zelkor3D\xC9\xB1\xC2\xEB\xA9\xAE\xA1\xBE";
  const std::string expected = head + "2024002" + tail + "4\xA1\xBF\xA9\xAE" +
                               "456\xB4\xED\xA3\xD8\r\n" + head + "2024003" + tail +
                               "6\xA1\xBF\xA9\xAE" + "789\xD7\xBC\xA1\xCC\r\n" + head + "2024004" +
                               tail + "8\xA1\xBF\xA9\xAE\xCE\xB4\xBF\xAA\r\n";
  EXPECT_EQ(run.out, expected);
}

TEST(ReportText, Utf8IsTheDefaultEncoding) {
  const std::string document =
      Document({Row("2024003", "7,8,9"), Row("2024002", "4,5,6"), Row("2024001", "1,2,3")});
  const ToolRun run = RunTool({"--footer", "-- end"}, document);
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "┊2024002期:Zelkor3D杀码┊【4】┊456错Ｘ\r\n"
            "┊2024003期:Zelkor3D杀码┊【6】┊789准√\r\n"
            "┊2024004期:Zelkor3D杀码┊【8】┊未开\r\n-- end");
}

TEST(ReportInput, ComesFromFileStandardInputOrAddress) {
  const std::string path = WriteTempFile("input.xml", SampleDocument());
  const Text expected =
      BuildPageText(KillDigitPage(), SampleRows(), Defaults(), 1, [](const Text&) {});
  const std::string expected_utf8 = GbkToUtf8(expected);

  EXPECT_EQ(RunTool({path}).out, expected_utf8);
  EXPECT_EQ(RunTool({}, SampleDocument()).out, expected_utf8);
  EXPECT_EQ(RunTool({"-"}, SampleDocument()).out, expected_utf8);

  const ToolRun fetched =
      RunTool({"--url", "http://draws.test/list10.xml"}, "not read", SampleDocument());
  EXPECT_EQ(fetched.code, kExitOk);
  EXPECT_EQ(fetched.out, expected_utf8);
  EXPECT_EQ(fetched.fetched, std::vector<Text>{"http://draws.test/list10.xml"});
}

TEST(ReportInput, StopsAtTheFirstZeroByte) {
  std::string document = Row("2024002", "4,5,6") + Row("2024001", "1,2,3");
  document.push_back('\0');
  document += Row("2024000", "9,9,9");
  const ToolRun run = RunTool({"--encoding", "gbk"}, document);
  const std::vector<HistoryRow> rows{{"2024002", "456"}, {"2024001", "123"}};
  EXPECT_EQ(run.out, BuildPageText(KillDigitPage(), rows, Defaults(), 1, [](const Text&) {}));
}

TEST(ReportInput, NoRowsStillGiveTheNextIssueLine) {
  const std::string footer = GbkToUtf8(InitialPageTexts().footer);
  EXPECT_EQ(RunTool({}, "").out, "┊1期:Zelkor3D杀码┊【】┊未开\r\n" + footer);
  EXPECT_EQ(RunTool({"--page", "banker"}, "<html>404</html>").out,
            "┊1期:Zelkor3D杀码┊【123】┊未开\r\n" + footer);

  // A download that gave nothing is worth a hint (what came, and that it
  // held no draws), but the line still comes.
  const ToolRun fetched = RunTool({"--url", "http://nowhere.test/"});
  EXPECT_EQ(fetched.code, kExitOk);
  EXPECT_EQ(fetched.out, "┊1期:Zelkor3D杀码┊【】┊未开\r\n" + footer);
  EXPECT_EQ(LineCount(fetched.err), 2u);
}

// A document without draws is no success for anything made from draws; the
// page text is still the window's, with a warning.
TEST(ReportInput, NoDrawsFailsEverythingButThePageText) {
  const std::string chart = ::testing::TempDir() + "zelkor_report_no_draws.svg";
  const std::vector<std::string> documents = {
      "<html><body>Down for maintenance</body></html>", "",
      "issue,date,digits\n2004001,2004-10-18,070\n2004002,2004-10-19,557\n"};
  const std::vector<std::vector<std::string>> failing = {
      {"--next"}, {"--summary"}, {"--chart", chart}, {"--format", "csv"}, {"--format", "json"}};
  for (const std::string& document : documents) {
    SCOPED_TRACE(document);
    for (const std::vector<std::string>& args : failing) {
      SCOPED_TRACE(args.front());
      const ToolRun run = RunTool(args, document);
      EXPECT_EQ(run.code, kExitNoDraws);
      EXPECT_EQ(run.err, "zelkor3d-report: no draws were found in the document\n");
      EXPECT_EQ(run.out, "");
    }
    const ToolRun text = RunTool({}, document);
    EXPECT_EQ(text.code, kExitOk);
    EXPECT_EQ(LineCount(text.err), 1u);
    EXPECT_NE(text.err.find("warning: no draws were found"), std::string::npos) << text.err;
  }
}

// Under a Chinese locale the tool's own words are Chinese, not only the help;
// the summary's columns line up by what a terminal shows.
TEST(ReportLanguage, ChineseLocaleSpeaksChineseThroughout) {
  const std::string chart = ::testing::TempDir() + "zelkor_report_chinese.svg";
  struct Case {
    std::vector<std::string> args;
    std::string document;
    int code;
    std::string out;  // expected in standard output
    std::string err;  // expected in standard error
  };
  const Case cases[] = {
      {{"--summary"}, SampleDocument(), kExitOk, "方法", ""},
      {{"--summary"}, SampleDocument(), kExitOk, "没有胜过随机的证据", ""},
      {{"--next"}, SampleDocument(), kExitOk, "下一期 2024007", ""},
      {{"--next"}, SampleDocument(), kExitOk, "\n杀码(十位)         ", ""},
      {{"--next"}, "", kExitNoDraws, "", "zelkor3d-report: 文档中没有找到开奖记录\n"},
      {{}, "", kExitOk, "未开", "警告:文档中没有找到开奖记录"},
      {{"--position", "4"}, SampleDocument(), kExitUsage, "", "应为 1、2、3、百、十 或 个"},
      {{"-", "extra"}, SampleDocument(), kExitUsage, "", "多余的参数: extra(见 --help)"},
      {{"--bogus"}, SampleDocument(), kExitUsage, "", "未知选项: --bogus"},
      {{"--help=x"}, SampleDocument(), kExitUsage, "", "这个选项不接受值: --help = x"},
      {{"--summary", "--next"},
       SampleDocument(),
       kExitUsage,
       "",
       "--summary 与 --next 不能同时使用"},
      {{"--window", "0"}, SampleDocument(), kExitUsage, "", "应为 不小于 1 的整数"},
      {{"/nonexistent/draws.xml"},
       "",
       kExitNoDraws,
       "",
       "无法读取 /nonexistent/draws.xml: 文件不存在(No such file or directory)"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.args.empty() ? "text" : test.args.front());
    std::istringstream in(test.document);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunReport(
        test.args, in, out, err, [](const Text&) { return FetchResult(); },
        ReportEnvironment{false, HelpLanguage::kChinese});
    EXPECT_EQ(code, test.code) << err.str();
    EXPECT_NE(out.str().find(test.out), std::string::npos) << out.str();
    EXPECT_NE(err.str().find(test.err), std::string::npos) << err.str();
  }
  std::istringstream in(SampleDocument());
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(
      RunReport(
          {"--summary", "--chart", chart}, in, out, err, [](const Text&) { return FetchResult(); },
          ReportEnvironment{false, HelpLanguage::kChinese}),
      kExitOk);
  std::ifstream svg(chart);
  const std::string drawn((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
  EXPECT_NE(drawn.find(">命中率</text>"), std::string::npos);
  EXPECT_NE(drawn.find(">胆码</text>"), std::string::npos);
  // Every row of the first table puts its verdict at the same column.
  std::istringstream summary(out.str());
  std::string line;
  std::getline(summary, line);
  std::getline(summary, line);
  std::vector<size_t> columns;
  while (std::getline(summary, line) && !line.empty()) {
    columns.push_back(DisplayWidth(line.substr(0, line.rfind("  "))));
  }
  ASSERT_EQ(columns.size(), 6u);
  EXPECT_EQ(std::count(columns.begin(), columns.end(), columns.front()), 6);
}

// Under a GBK locale the summary is GBK unless --encoding says otherwise, and
// --encoding gbk makes it GBK anywhere; messages pass through in GBK whole.
TEST(ReportLanguage, GbkLocaleGetsTheSummaryAndMessagesInGbk) {
  struct Case {
    std::vector<std::string> args;
    bool gbk_locale;
    bool gbk;
  };
  const Case cases[] = {
      {{"--summary"}, true, true},
      {{"--summary", "--encoding", "gbk"}, false, true},
      {{"--summary", "--encoding", "utf-8"}, true, false},
      {{"--summary"}, false, false},
  };
  for (const Case& test : cases) {
    std::istringstream in(SampleDocument());
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunReport(
                  test.args, in, out, err, [](const Text&) { return FetchResult(); },
                  ReportEnvironment{false, HelpLanguage::kChinese, test.gbk_locale}),
              kExitOk);
    const std::string gbk = Utf8ToGbk("方法");
    EXPECT_EQ(out.str().find(test.gbk ? gbk : "方法") != std::string::npos, true)
        << test.gbk_locale << " " << test.args.size();
    EXPECT_EQ(out.str().find(test.gbk ? "方法" : gbk), std::string::npos);
  }
  std::ostringstream target;
  {
    GbkTextBuffer buffer(target);
    std::ostream err(&buffer);
    const std::string line = "警告:文档中没有找到开奖记录\n";
    // A character split between writes is held until it is whole.
    err << line.substr(0, 4);
    err << line.substr(4) << "末尾";
  }
  EXPECT_EQ(target.str(), Utf8ToGbk("警告:文档中没有找到开奖记录\n末尾"));
}

// Input the window takes in silence is named on standard error; the output
// itself stays what the window would show.
TEST(ReportInput, WarnsOfWhatTheWindowPassesOverInSilence) {
  struct Case {
    const char* name;
    std::string document;
    std::vector<std::string> args;
    std::vector<HistoryRow> rows;
    std::string warning;  // empty: nothing on standard error
  };
  const std::string two = Row("2024002", "4,5,6") + Row("2024001", "1,2,3");
  const std::vector<HistoryRow> two_rows{{"2024002", "456"}, {"2024001", "123"}};
  const Case cases[] = {
      {"clean", two, {}, two_rows, ""},
      {"zero byte",
       two + std::string(1, '\0') + Row("2024000", "9,9,9"),
       {},
       two_rows,
       "zero byte at offset " + std::to_string(two.size())},
      {"no rows", "<html>404</html>", {}, {}, "no draws were found"},
      {"not GBK, utf-8 out",
       Row("2024\xff", "1,2,3") + Row("2024001", "4,5,6"),
       {},
       {{"2024\xff", "123"}, {"2024001", "456"}},
       "not GBK"},
      {"not GBK, gbk out",
       Row("2024\xff", "1,2,3") + Row("2024001", "4,5,6"),
       {"--encoding", "gbk"},
       {{"2024\xff", "123"}, {"2024001", "456"}},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = RunTool(c.args, c.document);
    EXPECT_EQ(run.code, kExitOk);
    const Text text = BuildPageText(KillDigitPage(), c.rows, Defaults(), 1, [](const Text&) {});
    EXPECT_EQ(run.out, c.args.empty() ? GbkToUtf8(text) : text);
    if (c.warning.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_EQ(LineCount(run.err), 1u) << run.err;
      EXPECT_NE(run.err.find(c.warning), std::string::npos) << run.err;
    }
  }
}

TEST(ReportErrors, GiveOneLineAndExitCodeTwo) {
  const std::string path = WriteTempFile("errors.xml", SampleDocument());
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},
      {"-x", path},
      {"--position", "4"},
      {"--position", "千"},
      {"--position"},
      {"--page", "dan"},
      {"--encoding", "latin1"},
      {"--format", "xml"},
      {"--eol", "cr"},
      {"--window", "0"},
      {"--window", "12x"},
      {"--chart="},
      {"--summary", "--next"},
      {"--url", ""},
      {"--url", "http://"},
      {"--url", "ht!tp://%%"},
      {"--url", "ftp://draws.test/list.xml"},
      {"--url", "http://:80/x"},
      {"--url", "http://draws.test/", path},
      {path, path},
      {"--name", "杀码😀"},
      {"--left", "\xff["},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args.front());
    const ToolRun run = RunTool(args, SampleDocument(), SampleDocument());
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(LineCount(run.err), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("zelkor3d-report: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
  }
}

TEST(ReportErrors, AnUnreadableFileIsNamed) {
  // With "/" only, so that the echo is the path as given on every platform
  // (the echo escapes a backslash).
  std::string missing = ::testing::TempDir() + "zelkor_report_absent.xml";
  std::replace(missing.begin(), missing.end(), '\\', '/');
  const ToolRun run = RunTool({missing});
  EXPECT_EQ(run.err, "zelkor3d-report: cannot read " + missing + ": No such file or directory\n");
}

TEST(ReportHelp, PrintsUsageAndSucceeds) {
  const ToolRun run = RunTool({"--help"});
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.err, "");
  const ToolRun chinese = RunTool({"--help"});
  // Every option, each setting's and each page's name from their tables.
  std::vector<std::string> parts{"zelkor3d-report", "--page",    "--position", "--encoding",
                                 "--url",           "--summary", "--next",     "--format",
                                 "--chart",         "--window",  "--eol",      "--version"};
  for (const layout::PageSetting& setting : layout::kPageSettings)
    parts.emplace_back(setting.option);
  for (const AnalysisPage* page : AllAnalysisPages()) parts.emplace_back(page->option_name);
  for (const std::string& help : {run.out, HelpText(HelpLanguage::kChinese)}) {
    for (const std::string& part : parts) EXPECT_NE(help.find(part), std::string::npos) << part;
    // No artefacts of the option library.
    for (const char* artefact : {"Excludes", "REQUIRED", "required", "TEXT:"}) {
      EXPECT_EQ(help.find(artefact), std::string::npos) << artefact;
    }
  }
  EXPECT_NE(HelpText(HelpLanguage::kChinese).find("用法"), std::string::npos);
  for (const auto& [locale, language] :
       std::vector<std::pair<std::string, HelpLanguage>>{{"zh_CN.UTF-8", HelpLanguage::kChinese},
                                                         {"zh_TW", HelpLanguage::kChinese},
                                                         {"en_US.UTF-8", HelpLanguage::kEnglish},
                                                         {"C", HelpLanguage::kEnglish},
                                                         {"", HelpLanguage::kEnglish}}) {
    EXPECT_EQ(HelpLanguageForLocale(locale), language) << locale;
  }
  EXPECT_EQ(RunTool({"--version"}).out, "zelkor3d-report 1.1\n");
}

TEST(ReportNotices, KillSpanNoticesGoToStandardErrorOneLineEach) {
  // Two checked draws that are not three characters long; "1,2," gives "12".
  const std::string document = Document({Row("2024004", "1,2,3"), Row("2024003", "1,2,"),
                                         Row("2024002", "4,5,6,7"), Row("2024001", "1,2,3")});
  const ToolRun run = RunTool({"--page", "span", "--encoding", "gbk"}, document);
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.err,
            "zelkor3d-report: 2024002期: 请查看你输入是否对错\n"
            "zelkor3d-report: 2024003期: 请查看你输入是否对错\n");
  const std::vector<HistoryRow> rows{
      {"2024004", "123"}, {"2024003", "12"}, {"2024002", "456,7"}, {"2024001", "123"}};
  EXPECT_EQ(run.out, BuildPageText(KillSpanPage(), rows, Defaults(), 1, [](const Text&) {}));

  // The kill-digit page judges the same draws without a word.
  EXPECT_EQ(RunTool({"--page", "kill"}, document).err, "");

  // A checked draw with no digits at all is announced too, and the run ends normally.
  const ToolRun empty =
      RunTool({"--page", "span"}, Document({Row("2024002", ",,"), Row("2024001", "1,2,3")}));
  EXPECT_EQ(empty.code, kExitOk);
  EXPECT_EQ(empty.err, "zelkor3d-report: 2024002期: 请查看你输入是否对错\n");
}

// A stream that takes no byte, as standard output on a full disk.
class FullStreamBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(ReportFaults, OutputThatCannotBeWrittenIsNoSuccess) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--summary"},
        std::vector<std::string>{"--help"}, std::vector<std::string>{"--version"},
        std::vector<std::string>{"--format", "csv"}, std::vector<std::string>{"--next"}}) {
    SCOPED_TRACE(args.empty() ? "text" : args.front());
    std::istringstream in(SampleDocument());
    FullStreamBuffer full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunReport(args, in, out, err, [](const Text&) { return FetchResult(); }), kExitFault);
    EXPECT_EQ(err.str(), "zelkor3d-report: cannot write the output\n");
  }
}

TEST(ReportFaults, EndWithOneLineAndExitCodeOne) {
  struct Case {
    const char* label;
    Fetcher fetch;
    std::string err;
  };
  const Case cases[] = {
      {"run-time error", [](const Text&) -> FetchResult { throw RuntimeError::IndexBelowOne(); },
       "zelkor3d-report: run-time error 4: 数组成员引用下标必须大于等于1\n"},
      {"exhausted memory", [](const Text&) -> FetchResult { throw std::bad_alloc(); },
       "zelkor3d-report: internal error: std::bad_alloc\n"},
      {"anything else", [](const Text&) -> FetchResult { throw 42; },
       "zelkor3d-report: internal error\n"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.label);
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReport({"--url", "http://draws.test/"}, in, out, err, test.fetch), kExitFault);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), test.err);
  }
}

TEST(ReportSummary, CoversAllPagesOrTheChosenOne) {
  const std::string document =
      "<row expect=\"2023125\" opencode=\"4,5,8\" opentime=\"\" trycode=\"\" tryinfo=\"\" />"
      "<row expect=\"2023124\" opencode=\"9,0,7\" opentime=\"\" trycode=\"\" tryinfo=\"\" />"
      "<row expect=\"2023123\" opencode=\"1,2,3\" opentime=\"\" trycode=\"\" tryinfo=\"\" />";
  const auto run = [&document](const std::vector<std::string>& args) {
    std::istringstream in(document);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunReport(args, in, out, err, [](const Text&) { return FetchResult(); });
    EXPECT_EQ(code, kExitOk) << err.str();
    return out.str();
  };
  const std::string all = run({"--summary"});
  EXPECT_NE(all.find("\nkill (position 1) "), std::string::npos) << all;
  EXPECT_NE(all.find("\nbanker "), std::string::npos) << all;
  EXPECT_NE(all.find("\nspan "), std::string::npos) << all;

  const std::string banker = run({"--summary", "--page", "banker", "--encoding", "gbk"});
  EXPECT_NE(banker.find("\nbanker                    2      1     50.0%   65.7%"),
            std::string::npos)
      << banker;
  EXPECT_EQ(banker.find("\nkill"), std::string::npos) << banker;
  EXPECT_EQ(banker.find("\nspan"), std::string::npos) << banker;

  const std::string tens = run({"--summary", "--page", "kill", "--position", "十"});
  EXPECT_NE(tens.find("\nkill (position 2) "), std::string::npos) << tens;
}

}  // namespace
}  // namespace zelkor
