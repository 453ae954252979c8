#include "report/run.h"

#include <exception>
#include <ostream>
#include <string>
#include <string_view>

#include "backtest/wording.h"
#include "report/input.h"
#include "report/messages.h"
#include "report/options.h"
#include "report/writer.h"
#include "runtime/gbk.h"
#include "runtime/runtime_error.h"

namespace zelkor {

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
    ReportOptions options = *parsed.options;
    options.encoding = TextEncoding(options, environment);
    const Obtained obtained = ObtainRows(options, in, err, fetch, environment);
    if (obtained.exit_code != kExitOk) return obtained.exit_code;
    if (obtained.history.rows.empty()) {
      // Only the page text has a meaning for an empty list (the window's);
      // figures, picks and records made from no draws would pass a wrong
      // document off as a result.
      if (options.summary || options.next || !options.chart.empty() ||
          options.format != ReportFormat::kText) {
        err << ErrorLine(say("no draws were found in the document", "文档中没有找到开奖记录"))
            << '\n';
        return kExitNoDraws;
      }
      Warn(err, language,
           say("no draws were found in the document; the page is the window's for an empty list",
               "文档中没有找到开奖记录;页面是窗口对空列表给出的输出"));
    }

    if (!WriteReport(options, obtained.history, out, err, language)) {
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
