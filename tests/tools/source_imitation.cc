// zelkor3d-source-imitation: the public draw sources, imitated on 127.0.0.1
// for tests, each source's format at its own path on one port:
//
//   xml    /static/info/kaijiang/xml/sd/list10.xml (also list5.xml, list.xml)
//   17500  /3d_desc.txt, /3d_asc.txt
//   cwl    /ygkj/wqkjgg/3d/ (the list page, which sets the cookie) and
//          /cwl_admin/front/cwlkj/search/kjxx/findDrawNotice?issueCount=N&
//          pageNo=P&pageSize=S[&issueStart=I&issueEnd=I], which answers
//          {"status":0,"message":null} without that cookie and its Referer
//   zhcw   /port/client_json.php?callback=CB&issueCount=N&pageNum=P&
//          pageSize=S[&issueStart=I&issueEnd=I], resCode 9998 without its
//          Referer
//
// The draws come from a history file (issue,date,digits, oldest first),
// extended with made-up draws one a day up to --until, the same for every
// run; each source holds what it covers (the centre from 2013 on) and with
// --last only its newest N. Each request is appended to the --log file as
// one line: the request line, then each header, separated by " | ".
// Prints "port: N" once it listens, and serves until killed.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr const char* kSources[] = {"xml", "17500", "cwl", "zhcw"};
constexpr const char* kFailures[] = {"html200", "status0", "403", "567", "cut", "silent", "refuse"};
constexpr char kCwlCookie[] = "HMF_CI=5f1d3c0a9e";
constexpr char kZhcwRefusal[] = R"({"resCode":"9998","message":"非法请求","data":null})";
constexpr char kHtmlPage[] =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>提示</title></head>"
    "<body><p>访问受限</p></body></html>\n";

struct Draw {
  std::string issue;
  std::string date;    // YYYY-MM-DD
  std::string digits;  // hundreds first
};

std::string DateText(sys_days day) {
  const year_month_day ymd(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return text;
}

sys_days ParseDate(const std::string& text) {
  std::istringstream in(text);
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char dash1 = 0;
  char dash2 = 0;
  in >> y >> dash1 >> m >> dash2 >> d;
  const year_month_day ymd{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
  if (!in || dash1 != '-' || dash2 != '-' || !ymd.ok()) {
    throw std::runtime_error("not a date: " + text);
  }
  return sys_days(ymd);
}

// Made-up digits for an issue: the same on every run.
std::string SyntheticDigits(const std::string& issue, uint64_t salt = 0) {
  uint64_t x = std::stoull(issue) * 0x9E3779B97F4A7C15ull + salt;
  x = (x ^ (x >> 31)) * 0xBF58476D1CE4E5B9ull;
  x ^= x >> 29;
  char digits[4];
  std::snprintf(digits, sizeof digits, "%03u", static_cast<unsigned>(x % 1000));
  return digits;
}

// The history file, then one made-up draw a day after its last up to `until`.
std::vector<Draw> History(const std::string& path, const std::string& until) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<Draw> draws;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    Draw draw;
    if (std::getline(fields, draw.issue, ',') && std::getline(fields, draw.date, ',') &&
        std::getline(fields, draw.digits) && draw.issue.size() == 7 &&
        draw.issue.find_first_not_of("0123456789") == std::string::npos) {
      draws.push_back(draw);
    }
  }
  if (draws.empty()) throw std::runtime_error("no draws in " + path);
  if (until.empty()) return draws;
  const sys_days last_day = ParseDate(until);
  for (sys_days day = ParseDate(draws.back().date) + std::chrono::days(1); day <= last_day;
       day += std::chrono::days(1)) {
    const std::string date = DateText(day);
    const Draw& previous = draws.back();
    const int count = previous.issue.substr(0, 4) == date.substr(0, 4)
                          ? std::stoi(previous.issue.substr(4)) + 1
                          : 1;
    std::string issue = std::to_string(count);
    issue = date.substr(0, 4) + std::string(3 - std::min<size_t>(3, issue.size()), '0') + issue;
    draws.push_back({issue, date, SyntheticDigits(issue)});
  }
  return draws;
}

struct SourceSettings {
  std::string failure;
  double delay_seconds = 0;
  size_t last = 0;  // 0: all it covers
  std::map<std::string, std::string> disagree;
};

class Imitation {
 public:
  Imitation(std::vector<Draw> history, std::map<std::string, SourceSettings> settings,
            std::string log_path)
      : history_(std::move(history)),
        settings_(std::move(settings)),
        log_path_(std::move(log_path)) {}

  void Route(httplib::Server& server) {
    const auto on = [this, &server](const char* path, const std::string& source, auto answer) {
      server.Get(path, [this, source, answer](const httplib::Request& request,
                                              httplib::Response& response) {
        Log(request);
        const SourceSettings& settings = settings_.at(source);
        if (settings.delay_seconds > 0) {
          std::this_thread::sleep_for(std::chrono::duration<double>(settings.delay_seconds));
        }
        if (!Fail(source, settings.failure, request, response)) {
          (this->*answer)(source, request, response);
        }
      });
    };
    on("/static/info/kaijiang/xml/sd/list10.xml", "xml", &Imitation::XmlList);
    on("/static/info/kaijiang/xml/sd/list5.xml", "xml", &Imitation::XmlList);
    on("/static/info/kaijiang/xml/sd/list.xml", "xml", &Imitation::XmlList);
    on("/3d_desc.txt", "17500", &Imitation::Text);
    on("/3d_asc.txt", "17500", &Imitation::Text);
    on("/ygkj/wqkjgg/3d/", "cwl", &Imitation::CwlPage);
    on("/cwl_admin/front/cwlkj/search/kjxx/findDrawNotice", "cwl", &Imitation::CwlJson);
    on("/port/client_json.php", "zhcw", &Imitation::ZhcwJsonp);
  }

 private:
  void Log(const httplib::Request& request) {
    std::string line = request.method + " " + request.path;
    std::string separator = "?";
    for (const auto& [name, value] : request.params) {
      line += separator + name + "=" + value;
      separator = "&";
    }
    for (const auto& [name, value] : request.headers) {
      if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
          name == "LOCAL_PORT") {
        continue;  // added by the server, not sent
      }
      line += " | " + name + ": " + value;
    }
    std::lock_guard lock(log_mutex_);
    if (log_path_.empty()) return;
    std::ofstream(log_path_, std::ios::app) << line << '\n';
  }

  // Answers as a failing source would; false when the source is not failing.
  static bool Fail(const std::string& source, const std::string& failure,
                   const httplib::Request& request, httplib::Response& response) {
    if (failure.empty()) return false;
    if (failure == "html200") {
      response.set_content(kHtmlPage, "text/html; charset=utf-8");
    } else if (failure == "status0" || (failure == "refuse" && source == "cwl")) {
      response.set_content(R"({"status":0,"message":null})", "application/json");
    } else if (failure == "refuse" && source == "zhcw") {
      ZhcwAnswer(request, kZhcwRefusal, response);
    } else if (failure == "403" || failure == "refuse") {
      response.status = 403;
      response.set_content(kHtmlPage, "text/html; charset=utf-8");
    } else if (failure == "567") {
      response.status = 567;
      response.set_content(kHtmlPage, "text/html; charset=utf-8");
    } else if (failure == "cut") {
      // Half of a page, on a connection closed before the length promised.
      const std::string page = std::string(kHtmlPage) + std::string(4096, ' ');
      response.set_content_provider(page.size(), "text/plain",
                                    [page](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset > 0) return false;
                                      return sink.write(page.data(), page.size() / 2);
                                    });
    } else if (failure == "silent") {
      // Holds the connection without a byte until the client gives up.
      std::this_thread::sleep_for(std::chrono::minutes(10));
    }
    return true;
  }

  // The draws `source` holds, newest first.
  std::vector<Draw> Held(const std::string& source) {
    const SourceSettings& settings = settings_.at(source);
    std::vector<Draw> held;
    for (auto it = history_.rbegin(); it != history_.rend(); ++it) {
      if (settings.last > 0 && held.size() == settings.last) break;
      if (source == "cwl" && it->issue < "2013001") break;
      Draw draw = *it;
      if (const auto other = settings.disagree.find(draw.issue); other != settings.disagree.end()) {
        draw.digits = other->second;
      }
      held.push_back(draw);
    }
    return held;
  }

  // The draws a paged JSON request asks for, newest first.
  std::vector<Draw> Page(const std::string& source, const httplib::Request& request,
                         const char* page_key, size_t* total) {
    const auto number = [&request](const char* key, size_t otherwise) {
      return request.has_param(key) ? std::stoul(request.get_param_value(key)) : otherwise;
    };
    std::vector<Draw> held = Held(source);
    std::vector<Draw> wanted;
    const std::string start = request.get_param_value("issueStart");
    const std::string end = request.get_param_value("issueEnd");
    for (const Draw& draw : held) {
      if (!start.empty() && draw.issue < start) continue;
      if (!end.empty() && draw.issue > end) continue;
      if (wanted.size() == number("issueCount", held.size())) break;
      wanted.push_back(draw);
    }
    *total = wanted.size();
    const size_t size = std::max<size_t>(1, number("pageSize", 30));
    const size_t first = (std::max<size_t>(1, number(page_key, 1)) - 1) * size;
    if (first >= wanted.size()) return {};
    return std::vector<Draw>(
        wanted.begin() + static_cast<ptrdiff_t>(first),
        wanted.begin() + static_cast<ptrdiff_t>(std::min(wanted.size(), first + size)));
  }

  void XmlList(const std::string& source, const httplib::Request& request,
               httplib::Response& response) {
    const size_t most = request.path.ends_with("list10.xml")  ? 10
                        : request.path.ends_with("list5.xml") ? 5
                                                              : 100;
    std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<xml>\n";
    const std::vector<Draw> held = Held(source);
    for (size_t i = 0; i < held.size() && i < most; ++i) {
      const Draw& d = held[i];
      const std::string trial = SyntheticDigits(d.issue, 1);
      body += "<row expect=\"" + d.issue + "\" opencode=\"" + d.digits.substr(0, 1) + "," +
              d.digits.substr(1, 1) + "," + d.digits.substr(2, 1) + "\" opentime=\"" + d.date +
              " 21:15:00\" trycode=\"" + trial.substr(0, 1) + "," + trial.substr(1, 1) + "," +
              trial.substr(2, 1) + "\" tryinfo=\"\" />\n";
    }
    response.set_content(body + "</xml>\n", "text/xml");
  }

  void Text(const std::string& source, const httplib::Request& request,
            httplib::Response& response) {
    std::vector<Draw> held = Held(source);
    if (request.path == "/3d_asc.txt") std::reverse(held.begin(), held.end());
    std::string body;
    for (const Draw& d : held) {
      const std::string trial = SyntheticDigits(d.issue, 1);
      body += d.issue + " " + d.date + " " + d.digits.substr(0, 1) + " " + d.digits.substr(1, 1) +
              " " + d.digits.substr(2, 1) + " " + trial.substr(0, 1) + " " + trial.substr(1, 1) +
              " " + trial.substr(2, 1) + " 0 " +
              std::to_string(100000000 + std::stoul(d.issue) % 9973 * 1000) + "\n";
    }
    response.set_content(body, "text/plain");
  }

  void CwlPage(const std::string&, const httplib::Request&, httplib::Response& response) {
    response.set_header("Set-Cookie", std::string(kCwlCookie) + "; Path=/; HttpOnly");
    response.set_header("Set-Cookie", "21_vq=3; Path=/");
    response.set_content(kHtmlPage, "text/html; charset=utf-8");
  }

  void CwlJson(const std::string& source, const httplib::Request& request,
               httplib::Response& response) {
    if (request.get_header_value("Cookie").find(kCwlCookie) == std::string::npos ||
        !request.get_header_value("Referer").ends_with("/ygkj/wqkjgg/3d/")) {
      response.set_content(R"({"status":0,"message":null})", "application/json");
      return;
    }
    static constexpr const char* kWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    size_t total = 0;
    std::string rows;
    for (const Draw& d : Page(source, request, "pageNo", &total)) {
      const char* week = kWeekdays[std::chrono::weekday(ParseDate(d.date)).c_encoding()];
      const std::string date = d.date + "(" + week + ")";
      rows += std::string(rows.empty() ? "" : ",") + R"({"name":"3D","code":")" + d.issue +
              R"(","detailsLink":"","date":")" + date + R"(","week":")" + week + R"(","red":")" +
              d.digits.substr(0, 1) + "," + d.digits.substr(1, 1) + "," + d.digits.substr(2, 1) +
              R"(","blue":"","sales":"106919648","poolmoney":""})";
    }
    response.set_content(R"({"state":0,"message":"查询成功","total":)" + std::to_string(total) +
                             R"(,"result":[)" + rows + "]}",
                         "application/json");
  }

  void ZhcwJsonp(const std::string& source, const httplib::Request& request,
                 httplib::Response& response) {
    std::string json = kZhcwRefusal;
    if (request.get_header_value("Referer").ends_with("/kjxx/3d/")) {
      size_t total = 0;
      std::string rows;
      for (const Draw& d : Page(source, request, "pageNum", &total)) {
        rows += std::string(rows.empty() ? "" : ",") + R"({"issue":")" + d.issue +
                R"(","openTime":")" + d.date + R"(","frontWinningNum":")" + d.digits.substr(0, 1) +
                " " + d.digits.substr(1, 1) + " " + d.digits.substr(2, 1) +
                R"(","backWinningNum":"","saleMoney":"106919648"})";
      }
      json = R"({"resCode":"000000","message":"查询成功","total":)" + std::to_string(total) +
             R"(,"pageNum":)" + request.get_param_value("pageNum") + R"(,"data":[)" + rows + "]}";
    }
    ZhcwAnswer(request, json, response);
  }

  // `json` in the callback the request names, if it names one.
  static void ZhcwAnswer(const httplib::Request& request, const std::string& json,
                         httplib::Response& response) {
    const std::string callback = request.get_param_value("callback");
    response.set_content(callback.empty() ? json : callback + "(" + json + ")",
                         "text/javascript; charset=utf-8");
  }

  std::vector<Draw> history_;
  std::map<std::string, SourceSettings> settings_;
  std::string log_path_;
  std::mutex log_mutex_;
};

// "NAME=VALUE" taken apart; NAME "all" stands for every source.
std::vector<std::pair<std::string, std::string>> PerSource(const std::vector<std::string>& items) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string& item : items) {
    const size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
    bool known = name == "all";
    for (const char* source : kSources) known = known || name == source;
    if (!known || value.empty()) throw CLI::ValidationError(item, "not NAME=VALUE for a source");
    if (name == "all") {
      for (const char* source : kSources) pairs.emplace_back(source, value);
    } else {
      pairs.emplace_back(name, value);
    }
  }
  return pairs;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("The public draw sources, imitated on 127.0.0.1 for tests.");
  int port = 0;
  std::string history_path;
  std::string until;
  std::string log_path;
  std::vector<std::string> fail;
  std::vector<std::string> delay;
  std::vector<std::string> disagree;
  std::vector<std::string> last;
  app.add_option("--port", port, "the port (0: one the system chooses)");
  app.add_option("--history", history_path, "issue,date,digits lines, oldest first")->required();
  app.add_option("--until", until, "made-up draws one a day up to this date (YYYY-MM-DD)");
  app.add_option("--log", log_path, "each request appended to this file");
  app.add_option("--fail", fail, "NAME=html200|status0|403|567|cut|silent|refuse");
  app.add_option("--delay", delay, "NAME=SECONDS before each answer");
  app.add_option("--disagree", disagree, "NAME=ISSUE:DIGITS");
  app.add_option("--last", last, "NAME=N: the source holds only its newest N draws");
  CLI11_PARSE(app, argc, argv);

  try {
    std::map<std::string, SourceSettings> settings;
    for (const auto& [name, value] : PerSource(fail)) {
      if (std::find(std::begin(kFailures), std::end(kFailures), value) == std::end(kFailures)) {
        throw CLI::ValidationError("--fail", "no such failure: " + value);
      }
      settings[name].failure = value;
    }
    for (const auto& [name, value] : PerSource(delay))
      settings[name].delay_seconds = std::stod(value);
    for (const auto& [name, value] : PerSource(last)) settings[name].last = std::stoul(value);
    for (const auto& [name, value] : PerSource(disagree)) {
      const size_t colon = value.find(':');
      if (colon == std::string::npos) throw CLI::ValidationError("--disagree", value);
      settings[name].disagree[value.substr(0, colon)] = value.substr(colon + 1);
    }
    for (const char* source : kSources) (void)settings[source];

    Imitation imitation(History(history_path, until), std::move(settings), log_path);
    httplib::Server server;
    // Silent and slow sources each hold a thread for as long as they wait.
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    imitation.Route(server);
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                                : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
      std::cerr << "zelkor3d-source-imitation: cannot listen on 127.0.0.1:" << port << "\n";
      return 1;
    }
    std::cout << "port: " << bound << std::endl;
    return server.listen_after_bind() ? 0 : 1;
  } catch (const CLI::Error& error) {
    return app.exit(error);
  } catch (const std::exception& error) {
    std::cerr << "zelkor3d-source-imitation: " << error.what() << "\n";
    return 2;
  }
}
