#include "report/input.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>

#include "backtest/wording.h"
#include "report/file_input.h"
#include "runtime/gbk.h"
#include "runtime/program_io.h"

namespace zelkor {
namespace {

std::string MiB(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

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

}  // namespace

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
  const std::string cut_at = MiB(kMaxInputBytes) + " (byte " + std::to_string(kMaxInputBytes) + ")";
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
        input = ReadDocument(stream, kMaxInputBytes, size_hint);
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

}  // namespace zelkor
