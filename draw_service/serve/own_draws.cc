#include "draw_service/serve/own_draws.h"

#include "draw_service/history/schedule.h"
#include "draw_service/serve/draw_form.h"
#include "draw_service/store/draw_store.h"
#include "runtime/markup.h"

namespace zelkor::service {
namespace {

// The issue the schedule gives after `newest`: the next number, or the first
// of the next year when the schedule's date for that falls in it.
std::string NextIssue(const HistoryDraw& newest) {
  // Seven digits that start with the year: no leading zero to keep.
  const std::string next = std::to_string(std::stoi(newest.issue) + 1);
  const std::string date = DateText(ScheduledDate(newest, next));
  if (newest.issue.ends_with("999") || date.substr(0, 4) != newest.issue.substr(0, 4)) {
    return date.substr(0, 4) + "001";
  }
  return next;
}

}  // namespace

std::string CatchingUpAdvice(const PlayerPlaces& places) {
  if (places.settings_file.empty()) {
    return "<p>本服务只提供启动时指定的历史文件,这里不能加开奖;要看新的开奖,"
           "请用更新的历史文件重新启动开奖数据服务。</p>\n";
  }
  const std::string program = MarkupEscaped(places.program);
  return "<p>有两种办法补上新的开奖:</p>\n<ol>\n<li>在设置文件 <code>" +
         MarkupEscaped(places.settings_file) +
         "</code> 中加一行 <code>upstream = 网址</code>,"
         "网址给出开奖列表或与附带的历史相同格式的 CSV。开奖数据服务每次启动时"
         "和每晚开奖后与内置的开奖来源一起从这里取新的开奖。</li>\n"
         "<li>手工加一期:在命令行中运行 <code>" +
         program + " add 期号 号码 [日期]</code>,例如 <code>" + program +
         " add 2026225 123</code>(日期不写时按开奖日程推算);或一次导入多期:<code>" + program +
         " import 文件</code>。</li>\n</ol>\n<p>加好后刷新本页即可,无需重启。</p>\n";
}

void AppendUnreadLines(std::string& page, const OwnDrawsPanel& own) {
  if (own.unread.empty()) return;
  const std::string file =
      own.places.store_file.empty() ? std::string(kStoreFileName) : own.places.store_file;
  page += "<section id=\"unread\" class=\"stale\"><p><strong>你的开奖文件 <code>" +
          MarkupEscaped(file) + "</code> 中有 " + std::to_string(own.unread.size()) +
          " 行无法读取。</strong>这些行没有用上,其余各行照常使用;改正后刷新本页即可。</p>\n<ul>\n";
  for (const UnreadLine& unread : own.unread) {
    page += "<li data-line=\"" + std::to_string(unread.line) + "\">" +
            MarkupEscaped(UnreadLineText(unread)) + "</li>\n";
  }
  page += "</ul></section>\n";
}

void AppendOwnDraws(std::string& page, const HistoryDraw& newest, const OwnDrawsPanel& own) {
  if (own.places.store_folder.empty()) return;
  page += "<section id=\"own\"><h2>自己加的开奖</h2>\n";
  if (!own.form_token.empty()) {
    const std::string next = NextIssue(newest);
    const std::string token = MarkupEscaped(own.form_token);
    const std::string action = MarkupEscaped(DrawFormPath());
    page += "<form id=\"add\" method=\"post\" action=\"" + action +
            "\"><input type=\"hidden\" name=\"token\" value=\"" + token +
            "\"><input type=\"hidden\" name=\"action\" value=\"add\">"
            "<label>期号 <input name=\"issue\" value=\"" +
            next +
            "\" size=\"8\" inputmode=\"numeric\"></label> "
            "<label>号码 <input name=\"digits\" size=\"4\" maxlength=\"3\" "
            "inputmode=\"numeric\" placeholder=\"三位\" required></label> "
            "<label>日期 <input name=\"date\" value=\"" +
            DateText(ScheduledDate(newest, next)) +
            "\" size=\"11\"></label> <button type=\"submit\">加入</button></form>\n";
    if (!own.removable_issue.empty()) {
      page += "<form id=\"remove\" method=\"post\" action=\"" + action +
              "\"><input type=\"hidden\" name=\"token\" value=\"" + token +
              "\"><input type=\"hidden\" name=\"action\" value=\"remove\">"
              "<input type=\"hidden\" name=\"issue\" value=\"" +
              MarkupEscaped(own.removable_issue) + "\"><button type=\"submit\">删去最新加的第" +
              MarkupEscaped(own.removable_issue) + "期</button></form>\n";
    }
  }
  page += "<p>你加的开奖存在文件夹 <code>" + MarkupEscaped(own.places.store_folder) +
          "</code> 中的 <code>" + kStoreFileName +
          "</code>,可以用文本编辑器修改。命令行程序是 <code>" + MarkupEscaped(own.places.program) +
          "</code>:<code>add 期号 号码 [日期]</code> 加一期,<code>remove 期号</code> "
          "删去最新加的一期,<code>check</code> 检查文件。</p>\n</section>\n";
}

}  // namespace zelkor::service
