#include "draw_service/history/merge.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST(MergeTest, KeepsEveryHeldDrawAndAddsOnlyWhatFits) {
  const std::vector<HistoryDraw> held = Draws(kShipped);
  struct Case {
    std::string name;
    std::vector<HistoryDraw> offered;
    std::vector<std::string> added;
    std::vector<int> refused_lines;
    std::string conflict;  // "issue held offered"
  };
  const Case cases[] = {
      {"new draws are added, in order",
       {{"2026226", "2026-08-24", "456"}, {"2026225", "2026-08-23", "123"}},
       {"2026225 2026-08-23 123", "2026226 2026-08-24 456"},
       {},
       ""},
      {"a held draw with the same digits changes nothing",
       {{"2026224", "2026-08-22", "862"}, {"2026223", "2026-08-30", "948"}},
       {},
       {},
       ""},
      {"an offer lacking the old draws deletes nothing",
       {{"2026225", "2026-08-23", "123"}},
       {"2026225 2026-08-23 123"},
       {},
       ""},
      {"other digits for a held draw void the offer",
       {{"2026225", "2026-08-23", "123"}, {"2026224", "2026-08-22", "863"}},
       {},
       {},
       "2026224 862 863"},
      {"other digits twice in one offer void it",
       {{"2026225", "2026-08-23", "123"}, {"2026225", "2026-08-23", "124"}},
       {},
       {},
       "2026225 123 124"},
      {"a date before the draw before is refused",
       {{"2026225", "2026-08-21", "123"}, {"2026226", "2026-08-24", "456"}},
       {"2026226 2026-08-24 456"},
       {1},
       ""},
      {"a date after the draw after is refused", {{"2026221", "2026-08-21", "123"}}, {}, {1}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<OfferedDraw> offered;
    for (const HistoryDraw& draw : c.offered) offered.push_back({draw, 1});
    const MergeOutcome outcome = MergeDraws(held, offered);
    EXPECT_EQ(Lines(outcome.added), c.added);
    EXPECT_EQ(outcome.refused.size(), c.refused_lines.size());
    if (c.conflict.empty()) {
      EXPECT_FALSE(outcome.conflict);
    } else {
      ASSERT_TRUE(outcome.conflict);
      EXPECT_EQ(outcome.conflict->issue + " " + outcome.conflict->held_digits + " " +
                    outcome.conflict->offered_digits,
                c.conflict);
    }
  }
}

}  // namespace
}  // namespace zelkor::service
