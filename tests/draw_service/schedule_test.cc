// The draw rules: the schedule's issues and dates, and the check every
// arriving draw goes through.
#include "draw_service/history/schedule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zelkor::service {
namespace {

using std::chrono::hours;
using std::chrono::minutes;

BeijingTime At(std::string_view date, hours h, minutes m = minutes(0)) {
  return BeijingTime{DateOf(date)} + h + m;
}

TEST(ScheduleTest, IssuesDatesAndTheLatestAllowed) {
  const HistoryDraw newest{"2026224", "2026-08-22", "862"};
  EXPECT_EQ(DateText(ScheduledDate(newest, "2026333")), "2026-12-09");
  EXPECT_EQ(DateText(ScheduledDate({"2026365", "2026-12-31", "000"}, "2027003")), "2027-01-03");
  struct Case {
    HistoryDraw newest;
    BeijingTime now;
    std::string latest;
    size_t expected;
  };
  const Case cases[] = {
      // Before tonight's draw, yesterday's is the latest; after it, tonight's.
      {newest, At("2026-12-10", hours(21)), "2026333", 109},
      {newest, At("2026-12-10", hours(21), minutes(15)), "2026334", 110},
      {newest, At("2026-08-22", hours(23)), "2026224", 0},
      // Across the new year the count restarts at 001.
      {{"2026365", "2026-12-31", "1"}, At("2027-01-02", hours(22)), "2027002", 2},
      // The Spring Festival break of 2027 (4 to 13 February) has no draws,
      // though the latest allowed counts every day.
      {{"2027033", "2027-02-02", "1"}, At("2027-02-16", hours(22)), "2027047", 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LatestAllowedIssue(c.newest, c.now), c.latest) << c.newest.issue;
    EXPECT_EQ(ExpectedSince(c.newest, c.now).size(), c.expected) << c.newest.issue;
  }
}

TEST(ScheduleTest, CheckArrivalRefusesFutureHolesAndDisorderWarnsOfLongBreaks) {
  const std::vector<HistoryDraw> held = {{"2026223", "2026-08-21", "948"},
                                         {"2026224", "2026-08-22", "862"}};
  const BeijingTime now = At("2026-12-10", hours(12));
  struct Case {
    HistoryDraw draw;
    std::string refusal;  // a part of it; empty when accepted
    std::vector<std::string> missing;
    std::string warning;
  };
  const Case cases[] = {
      {{"2026225", "2026-08-23", "123"}, "", {}, ""},
      {{"2026225", "2026-12-11", "123"}, "after today (2026-12-10, Beijing)", {}, ""},
      {{"2026400", "2026-12-09", "123"}, "beyond what the daily schedule allows", {}, ""},
      {{"2026227", "2026-08-25", "123"},
       "hole: 2026225, 2026226 missing",
       {"2026225", "2026226"},
       ""},
      {{"2026225", "2026-08-22", "123"},
       "not after the previous draw 2026224 of 2026-08-22",
       {},
       ""},
      {{"2026225", "2026-09-20", "123"}, "", {}, "29 days after the previous draw 2026224"},
      {{"2027001", "2026-12-01", "123"}, "beyond", {}, ""},
  };
  for (const Case& c : cases) {
    const ArrivalCheck check = CheckArrival(held, c.draw, now);
    if (c.refusal.empty()) {
      EXPECT_EQ(check.refusal, "") << c.draw.issue << " " << c.draw.date;
    } else {
      EXPECT_THAT(check.refusal, ::testing::HasSubstr(c.refusal)) << c.draw.issue;
    }
    EXPECT_EQ(check.missing, c.missing) << c.draw.issue;
    EXPECT_THAT(check.warning, ::testing::HasSubstr(c.warning)) << c.draw.issue;
  }
  // A new year's first draw after a year held to its end is no hole.
  EXPECT_EQ(CheckArrival({{"2026365", "2026-12-31", "1"}}, {"2027001", "2027-01-01", "2"},
                         At("2027-01-02", hours(9)))
                .refusal,
            "");
  EXPECT_THAT(CheckArrival({{"2026364", "2026-12-30", "1"}}, {"2027001", "2027-01-01", "2"},
                           At("2027-01-02", hours(9)))
                  .missing,
              ::testing::ElementsAre("2026365"));
}

}  // namespace
}  // namespace zelkor::service
