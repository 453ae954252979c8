#include "report/writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "backtest/chart.h"
#include "backtest/summary.h"
#include "backtest/summary_wording.h"
#include "backtest/walk_lines.h"
#include "backtest/wording.h"
#include "report/messages.h"
#include "report/output.h"
#include "runtime/gbk.h"
#include "runtime/printable.h"

namespace zelkor {
namespace {

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

// The CSV or JSON records written out at a time.
constexpr size_t kRecordPiece = size_t{1} << 16;

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
      // The text goes out as the walk writes it.
      EncodedWriter encoded(writer_, options_.encoding);
      [[maybe_unused]] const Text text =
          WalkPage(page, position, rows_, options_.texts, notify, nullptr,
                   [&encoded](std::string_view piece) { encoded.Write(piece); });
      // Bytes of the document that are not GBK cannot be shown in UTF-8.
      if (!encoded.AllGbk()) {
        Warn(err_, language_,
             Say("the document holds bytes that are not GBK, shown as \"?\"; --encoding gbk "
                 "gives them unchanged",
                 "文档中有不是 GBK 的字节,显示为 \"?\";--encoding gbk 原样输出"));
      }
      walked_.push_back(key);
      return;
    }
    // Lines are written as the walk makes them, a piece at a time; the
    // summary figures of JSON come from the same walk.
    ChanceTable chances(page, position);
    std::vector<LineOutcome> lines;
    double next_chance = 0.0;
    size_t judged = 0;
    std::string records = csv_ ? CsvLineHeader() + record_end_
                               : "{\"draws\":" + std::to_string(rows_.size()) + ",\"lines\":[\n";
    [[maybe_unused]] const Text text = WalkPage(
        page, position, rows_, options_.texts, notify,
        [&](const WalkLine& line) {
          const std::string_view opentime = OpenTimeOf(line, judged);
          if (csv_) {
            AppendCsvLine(records, page, position, line, opentime);
            records += record_end_;
          } else {
            if (judged > 0) records += ",\n";
            AppendJsonLine(records, page, position, line, opentime);
            const double chance = chances.Of(Text(line.pick));
            if (line.held) {
              lines.push_back({*line.held, chance});
            } else {
              next_chance = chance;
            }
          }
          if (line.held) ++judged;
          if (records.size() >= kRecordPiece) {
            writer_.Write(records);
            records.clear();
          }
        },
        DropText);
    walked_.push_back(key);
    if (json_) {
      records +=
          "\n],\"summary\":" + JsonSummary(SummarizeOutcomes(page, position, lines, next_chance)) +
          "}\n";
    }
    writer_.Write(records);
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
        std::string record;
        if (csv_) {
          AppendCsvLine(record, page, position, line, {});
          record += record_end_;
        }
        if (json_) {
          if (!first) record += ",\n";
          AppendJsonLine(record, page, position, line, {});
          first = false;
        }
        writer_.Write(record);
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
      EncodedWriter encoded(writer_, options_.encoding);
      encoded.Write(text);
      if (!encoded.AllGbk()) {
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
      // A page's lines are let go once summed up, unless the chart keeps them.
      const Outcomes* outcomes = Kept(PageAt(page, position));
      Outcomes walked;
      if (outcomes == nullptr) {
        walked = WalkOutcomes(*page, position);
        outcomes = &walked;
      }
      summaries.push_back(
          SummarizeOutcomes(*page, position, outcomes->lines, outcomes->next_hold_chance));
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
      // English is ASCII, the same bytes either way; Chinese is converted.
      const std::string summary = FormatSummary(summaries, rows_.size(), language_);
      writer_.Write(options_.encoding == ReportEncoding::kGbk ? Utf8ToGbk(summary) : summary);
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
                        SystemReason(reason, language_))
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

  // The judged lines of a page, walked once and kept; the walk's notices
  // are told unless the page was walked already.
  const Outcomes& OutcomesOf(const AnalysisPage& page, int32_t position) {
    const PageAt key(&page, position);
    if (const Outcomes* kept = Kept(key)) return *kept;
    outcomes_.emplace_back(key, WalkOutcomes(page, position));
    return outcomes_.back().second;
  }

  // The judged lines kept of a page, or nullptr.
  [[nodiscard]] const Outcomes* Kept(const PageAt& key) const {
    for (const auto& entry : outcomes_) {
      if (entry.first == key) return &entry.second;
    }
    return nullptr;
  }

  // The judged lines of a page, walked now; the walk's notices are told
  // unless the page was walked already.
  Outcomes WalkOutcomes(const AnalysisPage& page, int32_t position) {
    const PageAt key(&page, position);
    ChanceTable chances(page, position);
    Outcomes outcomes;
    outcomes.lines.reserve(rows_.size());
    [[maybe_unused]] const Text text = WalkPage(
        page, position, rows_, options_.texts, Walked(key) ? kSilent : notify_,
        [&](const WalkLine& line) {
          const double chance = chances.Of(Text(line.pick));
          if (line.held) {
            outcomes.lines.push_back({*line.held, chance});
          } else {
            outcomes.next_hold_chance = chance;
          }
        },
        DropText);
    walked_.push_back(key);
    return outcomes;
  }

  inline static const IssueNotify kSilent;

  [[nodiscard]] std::string Say(std::string_view english, std::string_view chinese) const {
    return std::string(InLanguage(language_, english, chinese));
  }

  const ReportOptions& options_;
  HelpLanguage language_;
  const std::vector<HistoryRow>& rows_;
  const OpenTimes& opentimes_;
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

bool WriteReport(const ReportOptions& options, const History& history, std::ostream& out,
                 std::ostream& err, HelpLanguage language) {
  ReportWriter report(options, history, out, err, language);
  const bool chart_written = options.chart.empty() || report.Chart();
  if (options.summary) {
    report.Summary();
  } else if (options.next) {
    report.Next();
  } else {
    report.Page();
  }
  report.Finish();
  return chart_written;
}

}  // namespace zelkor
