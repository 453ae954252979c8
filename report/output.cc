#include "report/output.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <unordered_map>

#include "backtest/summary_wording.h"
#include "runtime/gbk.h"

namespace zelkor {
namespace {

// The piece of a text converted at a time.
constexpr size_t kPieceBytes = size_t{1} << 20;

std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  std::array<char, 64> buffer;
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.6g", value);
  return std::string(buffer.data(), static_cast<size_t>(std::max(length, 0)));
}

// A share as a JSON number, or null without judged lines.
std::string Share(double part, int64_t whole) {
  return whole > 0 ? Number(part / static_cast<double>(whole)) : "null";
}

// How the verdict was reached: "exact" (the tail chance), "normal" (z) or
// "none" (no judged lines, or chance left no room for a gap).
std::string VerdictTest(const PageSummary& summary) {
  if (TailChance(summary)) return "exact";
  return ZScore(summary) ? "normal" : "none";
}

std::string PositionField(const AnalysisPage& page, int32_t position) {
  return page.HasKillPosition() ? std::to_string(position) : std::string();
}

}  // namespace

void LineEndWriter::Write(std::string_view bytes) {
  if (eol_ == LineEnd::kKeep) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return;
  }
  std::string piece;
  piece.reserve(bytes.size() + bytes.size() / 16 + 2);
  for (const char c : bytes) {
    if (eol_ == LineEnd::kLf) {
      if (held_cr_) {
        held_cr_ = false;
        if (c != '\n') piece.push_back('\r');
      }
      if (c == '\r') {
        held_cr_ = true;
        continue;
      }
      piece.push_back(c);
    } else {
      if (c == '\n' && !after_cr_) piece.push_back('\r');
      piece.push_back(c);
      after_cr_ = c == '\r';
    }
  }
  out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
}

void LineEndWriter::Finish() {
  if (held_cr_) out_.put('\r');
  held_cr_ = false;
}

namespace {

// Byte strings as keys looked up by view.
struct ViewHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace

// The UTF-8 of runs of GBK characters, each converted once: a page text
// repeats the same few runs (its marks and symbols) on every line.
class EncodedWriter::RunConverter {
 public:
  // Appends the UTF-8 of `run` to `out`; false when it was not all GBK.
  bool Append(std::string_view run, std::string& out) {
    // The runs of a line come round again on the next line: a slot per
    // first byte and length finds them without hashing.
    Recent& recent = recent_[(static_cast<unsigned char>(run[0]) * 31u + run.size()) % kSlots];
    if (recent.converted != nullptr && recent.run == run) {
      out += recent.converted->utf8;
      return recent.converted->all_gbk;
    }
    auto found = cache_.find(run);
    if (found == cache_.end()) {
      if (cached_bytes_ > kMaxCachedBytes) {
        cache_.clear();
        recent_.fill(Recent{});
        cached_bytes_ = 0;
      }
      std::string utf8 = GbkToUtf8(run);
      // Every byte sequence that is not GBK became "?"; converting back
      // shows whether any did.
      const bool all_gbk = Utf8ToGbk(utf8) == run;
      cached_bytes_ += 2 * run.size() + utf8.size();
      found = cache_.emplace(std::string(run), Converted{std::move(utf8), all_gbk}).first;
    }
    recent.run = found->first;
    recent.converted = &found->second;
    out += found->second.utf8;
    return found->second.all_gbk;
  }

 private:
  static constexpr size_t kMaxCachedBytes = size_t{16} << 20;
  struct Converted {
    std::string utf8;
    bool all_gbk;
  };
  static constexpr size_t kSlots = 64;
  struct Recent {
    std::string_view run;  // the cache's own key
    const Converted* converted = nullptr;
  };
  // Node-based: keys and values stay where they are as the cache grows.
  std::unordered_map<std::string, Converted, ViewHash, std::equal_to<>> cache_;
  std::array<Recent, kSlots> recent_{};
  size_t cached_bytes_ = 0;
};

namespace {

// The bytes the converter takes as one character at `at`: a lead byte
// 0x81-0xFE with its trail byte (whatever that is), any other byte alone.
size_t GbkCharacterBytes(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return lead >= 0x81 && lead <= 0xFE && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

EncodedWriter::EncodedWriter(LineEndWriter& writer, ReportEncoding encoding)
    : writer_(writer), encoding_(encoding) {}

EncodedWriter::~EncodedWriter() = default;

void EncodedWriter::Write(std::string_view gbk) {
  if (encoding_ == ReportEncoding::kGbk) {
    for (size_t at = 0; at < gbk.size(); at += kPieceBytes) {
      writer_.Write(gbk.substr(at, kPieceBytes));
    }
    return;
  }
  // ASCII passes as it is; each run of other characters is converted as a
  // whole, split where the converter itself splits characters, so the bytes
  // are those of converting the whole text at once.
  if (converter_ == nullptr) converter_ = std::make_unique<RunConverter>();
  piece_.clear();
  size_t at = 0;
  while (at < gbk.size()) {
    size_t end = at;
    while (end < gbk.size() && static_cast<unsigned char>(gbk[end]) < 0x80) ++end;
    piece_.append(gbk.substr(at, end - at));
    at = end;
    while (end < gbk.size() && static_cast<unsigned char>(gbk[end]) >= 0x80) {
      end += GbkCharacterBytes(gbk, end);
    }
    if (end > at && !converter_->Append(gbk.substr(at, end - at), piece_)) all_gbk_ = false;
    at = end;
    if (piece_.size() >= kPieceBytes) {
      writer_.Write(piece_);
      piece_.clear();
    }
  }
  writer_.Write(piece_);
}

GbkTextBuffer::int_type GbkTextBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  held_.push_back(traits_type::to_char_type(c));
  if (c == '\n') Pass();
  return c;
}

std::streamsize GbkTextBuffer::xsputn(const char* text, std::streamsize count) {
  const std::string_view more(text, static_cast<size_t>(count));
  held_.append(more);
  if (more.find('\n') != std::string_view::npos) Pass();
  return count;
}

int GbkTextBuffer::sync() {
  Pass();
  target_.flush();
  return target_ ? 0 : -1;
}

void GbkTextBuffer::Pass() {
  // Keep back a character whose bytes have not all come yet.
  size_t whole = held_.size();
  for (size_t back = 1; back <= std::min<size_t>(3, held_.size()); ++back) {
    const auto byte = static_cast<unsigned char>(held_[held_.size() - back]);
    if ((byte & 0xC0) != 0x80) {
      const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      if (length > back) whole = held_.size() - back;
      break;
    }
  }
  if (whole == 0) return;
  target_ << Utf8ToGbk(std::string_view(held_).substr(0, whole));
  held_.erase(0, whole);
}

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Appends a UTF-8 text as a CSV field (RFC 4180): quoted when it holds a
// comma, quote or line break.
void AppendCsvField(std::string& out, std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(utf8);
    return;
  }
  out.push_back('"');
  for (const char c : utf8) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

// Appends a UTF-8 text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view utf8) {
  out.push_back('"');
  // Most fields need no escape and go in whole.
  const bool plain = std::none_of(utf8.begin(), utf8.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '"' || c == '\\' || byte < 0x20 || byte == 0x7F;
  });
  if (plain) {
    out.append(utf8).push_back('"');
    return;
  }
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          std::array<char, 8> escaped;
          std::snprintf(escaped.data(), escaped.size(), "\\u%04x", byte);
          out += escaped.data();
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

// A GBK field as a CSV field or a JSON string, converted only when it is not
// ASCII (the draws' fields seldom are).
void AppendCsvGbk(std::string& out, std::string_view gbk) {
  AppendCsvField(out, IsAscii(gbk) ? gbk : std::string_view(GbkToUtf8(gbk)));
}
void AppendJsonGbk(std::string& out, std::string_view gbk) {
  if (IsAscii(gbk)) {
    AppendJsonString(out, gbk);
  } else {
    AppendJsonString(out, GbkToUtf8(gbk));
  }
}

}  // namespace

std::string FieldUtf8(std::string_view gbk) {
  return IsAscii(gbk) ? std::string(gbk) : GbkToUtf8(gbk);
}

std::string CsvField(std::string_view utf8) {
  std::string field;
  AppendCsvField(field, utf8);
  return field;
}

std::string JsonString(std::string_view utf8) {
  std::string literal;
  AppendJsonString(literal, utf8);
  return literal;
}

std::string CsvLineHeader() {
  return "page,position,issue,opentime,source,value,pick,checked,held,next";
}

void AppendCsvLine(std::string& out, const AnalysisPage& page, int32_t position,
                   const WalkLine& line, std::string_view opentime) {
  out.append(page.option_name).append(",").append(PositionField(page, position));
  for (const std::string_view field : {line.issue, opentime, line.source_digits, line.value_text,
                                       line.pick, line.checked_digits}) {
    out.push_back(',');
    AppendCsvGbk(out, field);
  }
  out.push_back(',');
  if (line.held) out.push_back(*line.held ? '1' : '0');
  out.append(line.held ? ",0" : ",1");
}

void AppendJsonLine(std::string& out, const AnalysisPage& page, int32_t position,
                    const WalkLine& line, std::string_view opentime) {
  const bool next = !line.held;
  out.append("{\"page\":");
  AppendJsonString(out, page.option_name);
  out.append(",\"position\":");
  out.append(page.HasKillPosition() ? std::to_string(position) : "null");
  // A GBK field, or null where the next-issue line has none.
  const auto field = [&out](std::string_view name, std::optional<std::string_view> gbk) {
    out.append(",\"").append(name).append("\":");
    if (gbk) {
      AppendJsonGbk(out, *gbk);
    } else {
      out.append("null");
    }
  };
  const std::optional<std::string_view> none;
  field("issue", line.issue);
  field("opentime", next ? none : opentime);
  field("source", line.source_digits);
  field("value", line.value_text);
  field("pick", line.pick);
  field("checked", next ? none : line.checked_digits);
  out.append(",\"held\":");
  out.append(next ? "null" : (*line.held ? "true" : "false"));
  out.append(",\"next\":");
  out.append(next ? "true" : "false");
  out.push_back('}');
}

namespace {

std::string JsonFigures(const HitFigures& figures) {
  return "{\"judged\":" + std::to_string(figures.judged) +
         ",\"held\":" + std::to_string(figures.held) +
         ",\"hit_rate\":" + Share(static_cast<double>(figures.held), figures.judged) +
         ",\"chance\":" + Share(figures.chance_held, figures.judged) + "}";
}

}  // namespace

std::string JsonSummary(const PageSummary& summary) {
  const HitFigures all{summary.judged, summary.held, summary.chance_held, summary.chance_variance};
  const std::optional<double> z = ZScore(summary);
  std::string object = "{\"page\":" + JsonString(summary.page->option_name);
  object += ",\"position\":";
  object += summary.page->HasKillPosition() ? std::to_string(summary.position) : "null";
  object += ",\"all\":" + JsonFigures(all);
  for (size_t w = 0; w < kRecentWindows.size(); ++w) {
    object +=
        ",\"last_" + std::to_string(kRecentWindows[w]) + "\":" + JsonFigures(summary.recent[w]);
  }
  object += ",\"z\":" + (z ? Number(*z) : std::string("null"));
  object += ",\"z_threshold\":" + Number(kBeyondChanceZ);
  object += ",\"beyond_chance\":";
  object += BeyondChance(summary) ? "true" : "false";
  const std::optional<double> tail = TailChance(summary);
  object += ",\"verdict_test\":" + JsonString(VerdictTest(summary));
  object += ",\"tail_chance\":" + (tail ? Number(*tail) : std::string("null"));
  object += ",\"verdict\":" + JsonString(Verdict(summary));
  object += ",\"longest_miss_run\":" + std::to_string(summary.longest_miss_run);
  object += ",\"longest_run_chance\":" + Number(summary.longest_run_chance);
  object += ",\"current_miss_run\":" + std::to_string(summary.current_miss_run);
  object += ",\"current_run_chance\":" + Number(summary.current_run_chance);
  object += ",\"next_hold_chance\":" + Number(summary.next_hold_chance);
  object += '}';
  return object;
}

std::string CsvSummaryHeader() {
  // The JSON summary's fields, its nested figures flattened as all_*,
  // last_100_* and last_30_*.
  std::string header = "page,position";
  const auto figures = [&header](const std::string& prefix) {
    for (const char* field : {"judged", "held", "hit_rate", "chance"}) {
      header += ',' + prefix + field;
    }
  };
  figures("all_");
  for (const int64_t window : kRecentWindows) figures("last_" + std::to_string(window) + "_");
  return header +
         ",z,z_threshold,beyond_chance,verdict_test,tail_chance,verdict,longest_miss_run,longest_"
         "run_chance,"
         "current_miss_run,current_run_chance,next_hold_chance";
}

std::string CsvSummary(const PageSummary& summary) {
  std::string record(summary.page->option_name);
  record += ',' + PositionField(*summary.page, summary.position);
  const auto share = [](double part, int64_t whole) {
    return whole > 0 ? Number(part / static_cast<double>(whole)) : std::string();
  };
  const auto figures = [&](const HitFigures& one) {
    record += ',' + std::to_string(one.judged) + ',' + std::to_string(one.held) + ',' +
              share(static_cast<double>(one.held), one.judged) + ',' +
              share(one.chance_held, one.judged);
  };
  figures({summary.judged, summary.held, summary.chance_held, summary.chance_variance});
  for (const HitFigures& one : summary.recent) figures(one);
  const std::optional<double> z = ZScore(summary);
  record += ',' + (z ? Number(*z) : std::string()) + ',' + Number(kBeyondChanceZ) + ',' +
            (BeyondChance(summary) ? "1" : "0") + ',' + VerdictTest(summary) + ',';
  const std::optional<double> tail = TailChance(summary);
  record += (tail ? Number(*tail) : std::string()) + ',' + CsvField(Verdict(summary));
  record += ',' + std::to_string(summary.longest_miss_run) + ',' +
            Number(summary.longest_run_chance) + ',' + std::to_string(summary.current_miss_run) +
            ',' + Number(summary.current_run_chance) + ',' + Number(summary.next_hold_chance);
  return record;
}

}  // namespace zelkor
