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
  EXPECT_THAT(fresh, HasSubstr("最新一期:2026224期(2026-08-22开奖),距今2天。"));
  EXPECT_THAT(fresh, ::testing::Not(HasSubstr("upstream")));
  // The advice names this machine's places, and only what can work.
  const OwnDrawsPanel own{
      {"/home/p/.config/zelkor3d/draw-service.conf", "/home/p/.local/share/z",
       "/home/p/.local/share/z/added-draws.csv", "/opt/z&z/zelkor3d-draw-service"},
      {},
      "",
      ""};
  const std::string stale = StartPage(draws, day(25), own);
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

}  // namespace
}  // namespace zelkor::service
