#include "draw_service/history/freshness.h"
#include "draw_service/serve/start_page.h"

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
  const std::string stale = StartPage(draws, day(25));
  EXPECT_THAT(stale, HasSubstr("距今3天"));
  EXPECT_THAT(stale, HasSubstr("<code>~/.config/zelkor3d/draw-service.conf</code>"));
  EXPECT_THAT(stale, HasSubstr("zelkor3d-draw-service add"));
  EXPECT_EQ(FreshnessLogLine(draws.back(), day(25)),
            "newest draw 2026224 of 2026-08-22, 3 days old");
}

}  // namespace
}  // namespace zelkor::service
