// Writing the report: the line break asked for, the encoding asked for, and
// CSV and JSON made field by field from the walk's lines.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "backtest/summary.h"
#include "backtest/walk_lines.h"
#include "report/report.h"

namespace zelkor {

// Writes to a stream, turning every line break into the one asked for:
// kLf turns "\r\n" into "\n", kCrlf turns a lone "\n" into "\r\n", kKeep
// leaves the bytes alone. Line breaks split across writes are handled.
class LineEndWriter {
 public:
  LineEndWriter(std::ostream& out, LineEnd eol) : out_(out), eol_(eol) {}
  void Write(std::string_view bytes);
  // Writes a "\r" still held back; call once at the end.
  void Finish();

 private:
  std::ostream& out_;
  LineEnd eol_;
  bool held_cr_ = false;   // kLf: a "\r" that may start a "\r\n"
  bool after_cr_ = false;  // kCrlf: the last byte written was "\r"
};

// A stream buffer that passes UTF-8 text on to `target` in GBK, a line (or
// a flush) at a time, never splitting a character: for messages under a GBK
// locale.
class GbkTextBuffer : public std::streambuf {
 public:
  explicit GbkTextBuffer(std::ostream& target) : target_(target) {}
  GbkTextBuffer(const GbkTextBuffer&) = delete;
  GbkTextBuffer& operator=(const GbkTextBuffer&) = delete;
  ~GbkTextBuffer() override { Pass(); }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Converts and writes every whole character held.
  void Pass();
  std::ostream& target_;
  std::string held_;
};

// Writes GBK texts in `encoding`, converting a piece at a time so that no
// second copy of a whole text is made; the runs of characters a page repeats
// on every line are converted once for all its pieces. A text may be handed
// over in pieces split at ASCII bytes, as the walk's lines are: the bytes
// written are those of converting the whole text at once.
class EncodedWriter {
 public:
  EncodedWriter(LineEndWriter& writer, ReportEncoding encoding);
  EncodedWriter(const EncodedWriter&) = delete;
  EncodedWriter& operator=(const EncodedWriter&) = delete;
  ~EncodedWriter();
  void Write(std::string_view gbk);
  // False when some bytes were not GBK and were written as "?" (UTF-8 only).
  [[nodiscard]] bool AllGbk() const { return all_gbk_; }

 private:
  class RunConverter;
  LineEndWriter& writer_;
  ReportEncoding encoding_;
  std::unique_ptr<RunConverter> converter_;
  std::string piece_;
  bool all_gbk_ = true;
};

// GBK to UTF-8, without converting when the text is ASCII.
[[nodiscard]] std::string FieldUtf8(std::string_view gbk);

// A CSV field (RFC 4180): quoted when it holds a comma, quote or line break.
[[nodiscard]] std::string CsvField(std::string_view utf8);
// A JSON string literal, quotes included.
[[nodiscard]] std::string JsonString(std::string_view utf8);

// The CSV header row of the page lines, without its line break.
[[nodiscard]] std::string CsvLineHeader();
// Appends one page line as a CSV record without its line break; `opentime`
// is the checked draw's (empty on the next-issue line, which `next` marks).
void AppendCsvLine(std::string& out, const AnalysisPage& page, int32_t position,
                   const WalkLine& line, std::string_view opentime);
// Appends one page line as a JSON object on one line, with the same fields
// as CSV.
void AppendJsonLine(std::string& out, const AnalysisPage& page, int32_t position,
                    const WalkLine& line, std::string_view opentime);

// The summary of a page as a JSON object on one line.
[[nodiscard]] std::string JsonSummary(const PageSummary& summary);
// The CSV header row of the summary, and one summary as a record: every
// field of the JSON summary.
[[nodiscard]] std::string CsvSummaryHeader();
[[nodiscard]] std::string CsvSummary(const PageSummary& summary);

}  // namespace zelkor
