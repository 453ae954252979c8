// The cross-check rules of a round, one case a row.
#include "draw_service/update/cross_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CrossCheckTest, StoresWhatEverySourceReportingAgreesOnAndNothingElse) {
  const std::vector<HistoryDraw> held = {{"2026223", "2026-08-21", "948"},
                                         {"2026224", "2026-08-22", "862"}};
  const HistoryDraw d225{"2026225", "2026-08-23", "123"};
  const HistoryDraw d226{"2026226", "2026-08-24", "456"};
  const HistoryDraw d226_other{"2026226", "2026-08-24", "457"};
  const HistoryDraw d227{"2026227", "2026-08-25", "789"};
  const HistoryDraw future{"2026225", "2026-12-11", "123"};
  const HistoryDraw held_other{"2026224", "2026-08-22", "000"};
  const BeijingTime now = BeijingTime{DateOf("2026-12-10")} + std::chrono::hours(12);
  struct Case {
    std::string name;
    std::vector<SourceAnswer> answers;
    std::vector<std::string> stored;
    size_t disagreements;
    std::vector<std::string> waiting;
    std::vector<std::string> missing;
  };
  const Case cases[] = {
      {"agree",
       {{"a", {d225, d226}, ""}, {"b", {d226, d225}, ""}},
       {"2026225", "2026226"},
       0,
       {},
       {}},
      {"one source", {{"a", {d225}, ""}, {"b", {}, "HTTP status 403"}}, {"2026225"}, 0, {}, {}},
      {"disagree, later draw waits",
       {{"a", {d225, d226, d227}, ""}, {"b", {d226_other, d227}, ""}},
       {"2026225"},
       1,
       {"2026227"},
       {"2026226"}},
      {"a hole", {{"a", {d226, d227}, ""}}, {}, 0, {"2026226", "2026227"}, {"2026225"}},
      {"a future date", {{"a", {future}, ""}}, {}, 0, {}, {}},
      {"held answered otherwise", {{"a", {held_other, d225}, ""}}, {"2026225"}, 0, {}, {}},
  };
  for (const Case& c : cases) {
    const RoundVerdict verdict = CrossCheck(held, c.answers, now);
    EXPECT_EQ(Issues(verdict.agreed), c.stored) << c.name;
    EXPECT_EQ(verdict.disagreements.size(), c.disagreements) << c.name;
    EXPECT_EQ(verdict.waiting, c.waiting) << c.name;
    EXPECT_EQ(verdict.missing, c.missing) << c.name;
  }
  const RoundVerdict disagreed = CrossCheck(held, cases[2].answers, now);
  EXPECT_EQ(disagreed.disagreements[0].first, "a: 456 of 2026-08-24");
  EXPECT_EQ(disagreed.disagreements[0].second, "b: 457 of 2026-08-24");
  EXPECT_EQ(disagreed.missing_why, "the sources disagree on a draw before it");
  EXPECT_THAT(disagreed.agreeing_sources.at("2026227"), ElementsAre("a", "b"));
  EXPECT_THAT(CrossCheck(held, cases[4].answers, now).refused,
              ElementsAre(::testing::HasSubstr("after today")));
  const RoundVerdict held_differs = CrossCheck(held, cases[5].answers, now);
  ASSERT_EQ(held_differs.held_differs.size(), 1u);
  EXPECT_EQ(held_differs.held_differs[0].first, "held: 862 of 2026-08-22");
  EXPECT_THAT(CrossCheck(held, cases[0].answers, now).refused, IsEmpty());
}

}  // namespace
}  // namespace zelkor::service
