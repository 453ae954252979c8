#include "draw_service/serve/start_page.h"
#include "draw_service/history/freshness.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST(FreshnessTest, TheStartupPageTellsTheAgeAndHowToCatchUpWhenStale) {
  const std::vector<HistoryDraw> draws = Draws(kShipped);
  const auto day = [](unsigned d) {
    return std::chrono::sys_days{std::chrono::year{2026} / 8 / d};
  };
  const std::string fresh = StartPage(draws, day(24));
  EXPECT_THAT(fresh, HasSubstr("最新一期:第 2026224 期(2026-08-22 开奖),距今2天。"));
  EXPECT_THAT(fresh, ::testing::Not(HasSubstr("upstream")));
  // The advice names this machine's places, and only what can work.
  const OwnDrawsPanel own{
      {"/home/p/.config/zelkor3d/draw-service.conf", "/home/p/.local/share/z",
       "/home/p/.local/share/z/added-draws.csv", "/opt/z&z/zelkor3d-draw-service"},
      {},
      "",
      ""};
  const std::string stale = StartPage(draws, day(25), {}, own);
  EXPECT_THAT(stale, HasSubstr("距今3天"));
  EXPECT_THAT(stale, HasSubstr("<code>/home/p/.config/zelkor3d/draw-service.conf</code>"));
  EXPECT_THAT(stale, HasSubstr("<code>/opt/z&amp;z/zelkor3d-draw-service add 期号"));
  EXPECT_THAT(stale, HasSubstr("文件夹 <code>/home/p/.local/share/z</code>"));
  const std::string file_only = StartPage(draws, day(25));
  EXPECT_TRUE(file_only.find("只提供启动时指定的历史文件") != std::string::npos &&
              file_only.find(" add ") == std::string::npos &&
              file_only.find("draw-service.conf") == std::string::npos)
      << "advice that cannot work where a file is served as it is";
  EXPECT_EQ(FreshnessLogLine(draws.back(), day(25)),
            "newest draw 2026224 of 2026-08-22, 3 days old");
}

// Histories at the edges: what the page must and must not say of each.
TEST(StartPageTest, ReadsRightAtTheEdges) {
  const auto draws_of = [](int count, std::string_view digits, int year = 2026, int first = 1) {
    std::vector<HistoryDraw> draws;
    std::chrono::sys_days day = std::chrono::year{year} / 1 / 1;
    for (int i = 0; i < count; ++i, day += std::chrono::days{1}) {
      const std::chrono::year_month_day ymd{day};
      char date[16];
      std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                    static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
      draws.push_back(
          {std::to_string(year * 1000 + first + i), date,
           digits.empty() ? std::to_string(100 + (i * 379) % 900) : std::string(digits)});
    }
    return draws;
  };
  const auto day = [](int year, unsigned month, unsigned d) {
    return std::chrono::sys_days{std::chrono::year{year} / month / d};
  };
  std::vector<HistoryDraw> two{{"2026001", "2026-01-01", "738"}, {"2026002", "2026-01-02", "405"}};
  std::vector<HistoryDraw> year_end = draws_of(5, "", 2026, 354);
  for (size_t i = 0; i < year_end.size(); ++i)
    year_end[i].date = "2026-12-" + std::to_string(27 + i);
  struct Case {
    const char* label;
    std::vector<HistoryDraw> draws;
    std::chrono::sys_days today;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
  };
  const Case cases[] = {
      {"no draws", {}, day(2026, 1, 1), {"还没有任何开奖", "理性购彩"}, {"NaN"}},
      {"one draw",
       draws_of(1, "738"),
       day(2026, 1, 1),
       {"今天开奖", "还没有预测", "未成年人不得购买彩票", "开始菜单"},
       {"开奖号 <strong></strong>", "data-field=\"pick\"></td>",
        "data-field=\"next_hold_chance\">100.0%"}},
      {"738 then 405",
       two,
       day(2026, 1, 3),
       {"昨天开奖", "第 2026003 期 2026-01-03 21:15 开奖", "精确"},
       {"低于随机", "超出了随机波动"}},
      {"forty draws",
       draws_of(40, ""),
       day(2026, 2, 10),
       {"共 39 期,不足 100 期", "今天是 <span data-field=\"today\">2026-02-10</span>"},
       {"前 100 期的命中率"}},
      {"a hundred identical draws",
       draws_of(100, "738"),
       day(2026, 4, 11),
       {"<span data-field=\"longest_run_chance\">&lt;0.1%</span>",
        "<span data-field=\"current_run_chance\">—</span>"},
       {"<span data-field=\"longest_run_chance\">0.0%</span>", "(100.0%)"}},
      {"a newest draw after today",
       draws_of(3, ""),
       day(2026, 1, 1),
       {"请检查这台电脑的日期"},
       {"距今-", "21:15 开奖"}},
      {"the year's end",
       year_end,
       day(2026, 12, 31),
       {"今天开奖", "2027-01-01 21:15 开奖"},
       {"距今"}},
  };
  for (const Case& test : cases) {
    const std::string page = StartPage(test.draws, test.today);
    for (const std::string& shown : test.shown) {
      EXPECT_THAT(page, HasSubstr(shown)) << test.label;
    }
    for (const std::string& hidden : test.not_shown) {
      EXPECT_THAT(page, ::testing::Not(HasSubstr(hidden))) << test.label;
    }
  }
}

}  // namespace
}  // namespace zelkor::service
