// The report tool's reading, its exit codes against loopback servers, its
// output forms and its escaping of what it echoes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "backtest/walk_lines.h"
#include "draws/draws.h"
#include "report/input.h"
#include "report/output.h"
#include "report/run.h"
#include "runtime/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace zelkor {
namespace {

using test_support::LoopbackServer;
using test_support::RawServer;

std::string Row(const std::string& issue, const std::string& opencode) {
  return "<row expect=\"" + issue + "\" opencode=\"" + opencode +
         "\" opentime=\"2023-05-04 21:15:00\" trycode=\"1,2,3\" tryinfo=\"\" />\n";
}

// `count` draws, newest first, issues counting down from 2030000.
std::string Rows(int count) {
  std::string rows;
  for (int i = 0; i < count; ++i) {
    const int digits = (i * 7919) % 1000;
    rows += Row(std::to_string(2030000 - i), std::to_string(digits / 100) + "," +
                                                 std::to_string(digits / 10 % 10) + "," +
                                                 std::to_string(digits % 10));
  }
  return rows;
}

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

Outcome RunWith(const std::vector<std::string>& args, std::istream& in, const Fetcher& fetch,
                ReportEnvironment environment = {}) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome run;
  run.code = RunReport(args, in, out, err, fetch, environment);
  run.out = out.str();
  run.err = err.str();
  return run;
}

Outcome RunOn(const std::vector<std::string>& args, const std::string& input = {}) {
  std::istringstream in(input);
  return RunWith(args, in, [](const Text&) { return FetchResult(); });
}

// Fetches for real, with bounds short enough for a test.
FetchResult FetchQuickly(const Text& address) {
  FetchOptions options;
  options.connect_timeout = std::chrono::seconds(2);
  options.stall_timeout = std::chrono::seconds(2);
  options.overall_timeout = std::chrono::seconds(3);
  return FetchWithReason(address, options);
}

// An endless stream of one byte, counting what is taken from it.
class EndlessBuffer : public std::streambuf {
 public:
  explicit EndlessBuffer(char fill) { chunk_.assign(4096, fill); }
  size_t taken = 0;

 protected:
  int_type underflow() override {
    taken += chunk_.size();
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string chunk_;
};

// A stream whose reading fails, as standard input on a closed descriptor.
class FailingBuffer : public std::streambuf {
 protected:
  int_type underflow() override { throw std::runtime_error("Bad file descriptor"); }
};

TEST(ReadDraws, StopsAtTheFirstZeroByteOrTheCap) {
  struct Case {
    const char* label;
    char fill;
    size_t cap;
    size_t size;
    bool cut;
    bool zero;
  };
  const Case cases[] = {
      {"endless zeros", '\0', kMaxInputBytes, 0, false, true},
      {"endless text, small cap", 'x', 100000, 100000, true, false},
      {"endless text, the download cap", 'x', kMaxInputBytes, kMaxInputBytes, true, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.label);
    EndlessBuffer endless(test.fill);
    std::istream in(&endless);
    History history;
    const InputDocument document = ReadDraws(in, history, false, 0, test.cap);
    EXPECT_EQ(document.size, test.size);
    EXPECT_EQ(document.cut, test.cut);
    EXPECT_EQ(document.zero_at.has_value(), test.zero);
    EXPECT_TRUE(document.error.empty());
    // Reading stops where it says, give or take one buffer.
    EXPECT_LE(endless.taken, test.size + 2 * 4096 + 65536);
  }
}

TEST(ReportInput, EndlessInputIsCutWithAWarning) {
  for (const char fill : {'\0', 'x'}) {
    SCOPED_TRACE(fill == 0 ? "zeros" : "text");
    EndlessBuffer endless(fill);
    std::istream in(&endless);
    const Outcome run =
        RunWith({"--page", "banker"}, in, [](const Text&) { return FetchResult(); });
    EXPECT_EQ(run.code, kExitOk) << run.err;
    const std::string expected =
        fill == 0 ? "zero byte at offset 0" : "cut at 64 MiB (byte 67108864)";
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
  }
}

// Exit code 3 names the cause in one line; a cut or broken-off answer that
// still holds rows is listed with a warning.
TEST(ReportExit, TellsWhyTheDrawsCouldNotBeHad) {
  const std::string document = "<xml>\n" + Rows(5) + "</xml>\n";
  LoopbackServer server({{"/list.xml", LoopbackServer::Reply(document)},
                         {"/broken", LoopbackServer::Reply("oops", 500)}});
  LoopbackServer self_signed({{"/list.xml", LoopbackServer::Reply(document)}},
                             LoopbackServer::Scheme::kHttpsSelfSigned);
  int closed_port = 0;
  {
    LoopbackServer gone({});
    closed_port = gone.port();
  }
  // Answers its head and then keeps the body back.
  RawServer silent("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789",
                   RawServer::Connections::kOneAnswer, std::chrono::milliseconds(2500));
  RawServer short_answer("HTTP/1.0 200 OK\r\nContent-Length: 99999\r\n\r\n" +
                         Row("2030000", "1,2,3") + Row("2029999", "4,5,6"));
  const std::string missing = ::testing::TempDir() + "zelkor_report_io_missing.xml";
  struct Case {
    const char* label;
    std::vector<std::string> args;
    int code;
    std::string err;  // expected in the one line on standard error
  };
  const Case cases[] = {
      {"whole answer", {"--url", server.Url("/list.xml")}, kExitOk, ""},
      {"refused",
       {"--url", "http://127.0.0.1:" + std::to_string(closed_port) + "/x"},
       kExitNoDraws,
       "connection refused"},
      {"HTTP 404", {"--url", server.Url("/none.xml")}, kExitNoDraws, ": HTTP 404"},
      {"HTTP 500 with a body", {"--url", server.Url("/broken")}, kExitNoDraws, ": HTTP 500"},
      {"untrusted certificate", {"--url", self_signed.Url("/list.xml")}, kExitNoDraws, "TLS"},
      {"silence", {"--url", silent.Url("/x")}, kExitNoDraws, "nothing received for 2 s"},
      {"broken off with rows", {"--url", short_answer.Url("/x")}, kExitOk, "listing the 2 draws"},
      {"missing file", {missing}, kExitNoDraws, "cannot read " + missing + ": No such file"},
      {"directory", {::testing::TempDir()}, kExitNoDraws, "cannot read"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.label);
    std::istringstream in;
    const Outcome run = RunWith(test.args, in, FetchQuickly);
    EXPECT_EQ(run.code, test.code) << run.err;
    if (test.err.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
      EXPECT_NE(run.err.find(test.err), std::string::npos) << run.err;
    }
    EXPECT_EQ(run.out.empty(), test.code != kExitOk);
  }

  // A read error on standard input is no empty report.
  FailingBuffer failing;
  std::istream in(&failing);
  const Outcome run = RunWith({}, in, FetchQuickly);
  EXPECT_EQ(run.code, kExitNoDraws);
  EXPECT_EQ(run.err, "zelkor3d-report: cannot read standard input: Bad file descriptor\n");
  EXPECT_EQ(run.out, "");
}

// Causes no loopback server can stage, as the fetch names them.
TEST(ReportExit, FollowsTheCauseTheFetchNames) {
  const std::string rows = Rows(3);
  struct Case {
    FetchResult fetched;
    int code;
    std::string err;
  };
  const Case cases[] = {
      {{"", "unknown host", false, 0, {}},
       kExitNoDraws,
       "cannot download http://draws.test/: unknown host"},
      {{"", "malformed address", false, 0, {}}, kExitUsage, "--url: malformed address"},
      {{"", "the transfer broke off", false, 0, {}}, kExitNoDraws, ": the transfer broke off"},
      {{"<html>", "timed out after 90 s", false, 0, {}}, kExitNoDraws, ": timed out after 90 s"},
      {{rows, "timed out after 90 s", false, 0, {}},
       kExitOk,
       "(timed out after 90 s); listing the 3 draws"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.fetched.failure);
    std::istringstream in;
    const Outcome run =
        RunWith({"--url", "http://draws.test/"}, in, [&test](const Text&) { return test.fetched; });
    EXPECT_EQ(run.code, test.code);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(test.err), std::string::npos) << run.err;
  }
}

TEST(ReportExit, ACutDownloadIsListedWithAWarning) {
  const std::string rows = Rows(3);
  std::istringstream in;
  const Outcome run = RunWith({"--url", "http://draws.test/"}, in, [&rows](const Text&) {
    return FetchResult{rows, "body cut at 64 MiB", true, 0, {}};
  });
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_EQ(run.err,
            "zelkor3d-report: warning: the download was cut at 64 MiB (byte 67108864); draws "
            "after that point are not listed\n");
  EXPECT_EQ(run.out, RunOn({}, rows).out);
}

TEST(ReportInput, FileAndDownloadGiveTheSameRows) {
  // Two megabytes of draws: far below the cap, far above any buffer.
  const std::string document = "<xml>\n" + Rows(20000) + "</xml>\n";
  const std::string path = ::testing::TempDir() + "zelkor_report_io_same.xml";
  std::ofstream(path, std::ios::binary) << document;
  LoopbackServer server({{"/list.xml", LoopbackServer::Reply(document)}});
  for (const char* format : {"text", "csv"}) {
    SCOPED_TRACE(format);
    std::istringstream in;
    const Outcome fetched =
        RunWith({"--format", format, "--url", server.Url("/list.xml")}, in, FetchQuickly);
    const Outcome read = RunOn({"--format", format, path});
    EXPECT_EQ(fetched.code, kExitOk) << fetched.err;
    EXPECT_EQ(read.code, kExitOk) << read.err;
    EXPECT_EQ(fetched.out, read.out);
    EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'), 20001);
  }
}

TEST(ReportInput, ATerminalOnStandardInputGetsAHint) {
  for (const bool terminal : {false, true}) {
    std::istringstream in(Rows(2));
    ReportEnvironment environment;
    environment.input_is_terminal = terminal;
    const Outcome run = RunWith(
        {}, in, [](const Text&) { return FetchResult(); }, environment);
    EXPECT_EQ(run.code, kExitOk);
    EXPECT_EQ(run.err.find("reading the draw list from standard input") != std::string::npos,
              terminal)
        << run.err;
  }
}

// What the tool echoes of an argument reaches the terminal escaped.
TEST(ReportErrors, EchoedArgumentsAreEscaped) {
  const Outcome run = RunOn({"--page", "\x1b[2J"});
  EXPECT_EQ(run.code, kExitUsage);
  EXPECT_EQ(run.err,
            "zelkor3d-report: --page: must be kill, banker or span, not '\\e[2J' (see --help)\n");
}

TEST(ReportConventions, LastOptionWinsAndValuesIgnoreCase) {
  const std::string rows = Rows(4);
  const std::string banker_gbk = RunOn({"--page", "banker", "--encoding", "gbk"}, rows).out;
  const std::vector<std::vector<std::string>> same = {
      {"--page", "span", "--page", "BANKER", "--encoding", "utf8", "--encoding", "GbK"},
      {"--page=Banker", "--encoding=UTF-8", "--encoding", "gbk", "--eol", "lf", "--eol", "Keep"},
  };
  // The second line is refused: "keep" is no line break.
  const Outcome first = RunOn(same[0], rows);
  EXPECT_EQ(first.code, kExitOk) << first.err;
  EXPECT_EQ(first.out, banker_gbk);
  EXPECT_EQ(RunOn(same[1], rows).code, kExitUsage);
  EXPECT_EQ(RunOn({"--summary", "--summary", "--name", "a", "--name", "b"}, rows).code, kExitOk);
}

TEST(ReportConventions, EolChangesEveryLineBreak) {
  const std::string rows = Rows(4);
  const std::string text = RunOn({"--footer", "a\r\nb\nc"}, rows).out;
  const auto lf = RunOn({"--footer", "a\r\nb\nc", "--eol", "LF"}, rows).out;
  const auto crlf = RunOn({"--footer", "a\r\nb\nc", "--eol", "crlf"}, rows).out;
  std::string want_lf;
  std::string want_crlf;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    want_lf.push_back(text[i]);
  }
  for (const char c : want_lf) {
    if (c == '\n') want_crlf.push_back('\r');
    want_crlf.push_back(c);
  }
  EXPECT_EQ(lf, want_lf);
  EXPECT_EQ(crlf, want_crlf);
  // A lone "\r" stays.
  std::ostringstream out;
  LineEndWriter writer(out, LineEnd::kLf);
  writer.Write("a\r");
  writer.Write("\nb\r");
  writer.Finish();
  EXPECT_EQ(out.str(), "a\nb\r");
}

// The next issue's picks, against the worked examples of the pages.
TEST(ReportNext, ListsEveryPageAndKillPosition) {
  const std::string kill_rows =
      Row("2024003", "7,8,9") + Row("2024002", "4,5,6") + Row("2024001", "1,2,3");
  const std::string banker_rows =
      Row("2023125", "4,5,8") + Row("2023124", "9,0,7") + Row("2023123", "1,2,3");
  const Outcome kill = RunOn({"--next", "--page", "kill", "--format", "csv"}, kill_rows);
  ASSERT_EQ(kill.code, kExitOk) << kill.err;
  const std::string kill_lines = kill.out.substr(kill.out.find("\r\n") + 2);
  EXPECT_EQ(kill_lines.substr(0, kill_lines.find("\r\n")),
            "kill,1,2024004,,789,887.868879136,8,,,1");
  EXPECT_EQ(std::count(kill.out.begin(), kill.out.end(), '\n'), 4);

  const Outcome all = RunOn({"--next"}, banker_rows);
  ASSERT_EQ(all.code, kExitOk) << all.err;
  EXPECT_EQ(all.out.substr(0, all.out.find('\n')),
            "Next issue 2023126, picked from the digits 458");
  EXPECT_NE(all.out.find("\nbanker             158\n"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\nspan               12\n"), std::string::npos) << all.out;
  for (const char* label : {"kill (position 1) ", "kill (position 2) ", "kill (position 3) "}) {
    EXPECT_NE(all.out.find(label), std::string::npos) << label;
  }
  // The picks are the window's own next-issue lines, whatever the history.
  const std::string rows = Rows(50);
  const Outcome json = RunOn({"--next", "--format", "json", "--page", "span"}, rows);
  const std::string text = RunOn({"--page", "span"}, rows).out;
  const size_t pick_start = text.rfind("【") + std::string("【").size();
  const std::string pick = text.substr(pick_start, text.find("】", pick_start) - pick_start);
  EXPECT_NE(json.out.find("\"pick\":\"" + pick + "\""), std::string::npos) << json.out;
}

}  // namespace
}  // namespace zelkor
