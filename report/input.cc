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
#include "report/messages.h"
#include "runtime/gbk.h"
#include "runtime/program_io.h"

namespace zelkor {
namespace {

std::string MiB(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// The piece of a stream read and listed at a time: small enough to stay in
// the processor's cache.
constexpr size_t kReadPiece = size_t{1} << 16;

// Reads `in` until its end, its first zero byte or `max_bytes`, whichever
// comes first, never past that point, a piece at a time straight into the
// reader's room, handing it the bytes that belong to the document.
InputDocument ReadStream(std::istream& in, size_t max_bytes, DrawRowReader& reader) {
  InputDocument document;
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr || in.bad()) {
    document.error = "the input stream is not readable";
    return document;
  }
  size_t filled = 0;
  try {
    while (true) {
      // One byte past the cap tells whether there is more.
      const size_t count = std::min(max_bytes + 1 - filled, kReadPiece);
      char* const into = reader.Room(count);
      const auto got =
          static_cast<size_t>(buffer->sgetn(into, static_cast<std::streamsize>(count)));
      if (const void* zero = std::memchr(into, 0, got); zero != nullptr) {
        const auto before = static_cast<size_t>(static_cast<const char*>(zero) - into);
        reader.Added(before);
        filled += before;
        document.zero_at = filled;
        break;
      }
      if (filled + got > max_bytes) {
        reader.Added(max_bytes - filled);
        filled = max_bytes;
        document.cut = true;
        break;
      }
      reader.Added(got);
      filled += got;
      if (got < count) break;
    }
  } catch (const std::exception& error) {
    document.error = error.what();
  } catch (...) {
    document.error = "read error";
  }
  document.size = filled;
  return document;
}

// Keeps each draw as the walk takes it, and its opentime when asked.
class HistoryBuilder {
 public:
  // `size` is the document's size when known: room for its draws is
  // reserved (capacity never touched costs no memory).
  HistoryBuilder(History& history, bool with_times, size_t size)
      : history_(history), with_times_(with_times) {
    history.rows.reserve(MostDrawsIn(size));
    if (with_times) history.opentimes.Reserve(MostDrawsIn(size), size);
  }
  void operator()(const DrawRow& row) const {
    history_.rows.push_back(
        HistoryRow{Text(row.issue), TextJoin(row.hundreds, row.tens, row.units)});
    if (with_times_) history_.opentimes.Add(row.opentime);
  }

 private:
  History& history_;
  bool with_times_;
};

}  // namespace

void OpenTimes::Reserve(size_t count, size_t bytes) {
  ends_.reserve(count);
  bytes_.reserve(bytes);
}

void OpenTimes::Add(std::string_view time) {
  bytes_.append(time);
  ends_.push_back(bytes_.size());
}

std::string_view OpenTimes::operator[](size_t index) const {
  const size_t begin = index == 0 ? 0 : ends_[index - 1];
  return std::string_view(bytes_).substr(begin, ends_[index] - begin);
}

InputDocument ReadDraws(std::istream& in, History& history, bool with_times, size_t size_hint,
                        size_t max_bytes) {
  // The document is listed as it is read: only the row being read is kept.
  DrawRowReader reader(HistoryBuilder(history, with_times, std::min(size_hint, max_bytes)));
  return ReadStream(in, max_bytes, reader);
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
  // Only the CSV and JSON lines of a page name their draws' times.
  const bool with_times =
      options.format != ReportFormat::kText && !options.summary && !options.next;
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
      return fail(kExitNoDraws, say("cannot download ", "无法下载 ") + *options.url + ": " +
                                    SystemReason(fetched.failure, language));
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
      input = ReadDraws(in, obtained.history, with_times);
    } else {
      name = options.file;
      errno = 0;
      const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(options.file),
                                                                 &std::fclose);
      if (file == nullptr) {
        input.error = errno != 0 ? std::strerror(errno) : "cannot open";
      } else {
        // The size of a regular file tells how many draws to make room for.
        size_t size_hint = 0;
        if (std::fseek(file.get(), 0, SEEK_END) == 0) {
          const long size = std::ftell(file.get());
          if (size > 0) size_hint = static_cast<size_t>(size);
        }
        std::clearerr(file.get());
        if (std::fseek(file.get(), 0, SEEK_SET) != 0) size_hint = 0;
        FileReadBuffer buffer(file.get());
        std::istream stream(&buffer);
        input = ReadDraws(stream, obtained.history, with_times, size_hint);
      }
    }
    if (!input.error.empty()) {
      return fail(kExitNoDraws, say("cannot read ", "无法读取 ") + name + ": " +
                                    SystemReason(input.error, language));
    }
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

  if (options.url) {
    ForEachDrawRow(document, HistoryBuilder(obtained.history, with_times, document.size()));
  }
  if (!fell_short.empty()) {
    if (obtained.history.rows.empty()) {
      return fail(kExitNoDraws, say("cannot download ", "无法下载 ") + *options.url + ": " +
                                    SystemReason(fell_short, language));
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
