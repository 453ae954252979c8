#include "draw_service/store/commands.h"

#include "tests/draw_service/service_test_support.h"

namespace zelkor::service {
namespace {

TEST_F(StoreTest, CommandsStoreOnlyTheNewDrawsAndTellWhatHappened) {
  std::ofstream(::testing::TempDir() + "/import-good.csv")
      << "issue,date,digits\n2026224,2026-08-22,862\n2026226,2026-08-24,456\n";
  std::ofstream(::testing::TempDir() + "/import-list.xml")
      << "<xml>\n"
      << Row("2026227", "7,8,9", "2026-08-25") << "</xml>\n";
  std::ofstream(::testing::TempDir() + "/import-bad.csv")
      << "issue,date,digits\n2026228,2026-08-26,111\n2026229,2026-08-27,1a1\n";
  std::ofstream(::testing::TempDir() + "/import-conflict.csv")
      << "issue,date,digits\n2026228,2026-08-26,111\n2026223,2026-08-21,000\n";
  std::ofstream(::testing::TempDir() + "/import-twice.csv")
      << "issue,date,digits\n2026228,2026-08-26,111\n2026228,2026-08-26,112\n";
  std::ofstream(::testing::TempDir() + "/import-page.html") << "<html>404</html>";
  const DrawStore store = Store();
  // The evening of 2026-08-25 in Beijing, after its draw.
  const BeijingTime today = BeijingTime{DateOf("2026-08-25")} + std::chrono::hours(23);
  struct Case {
    std::string name;
    std::function<CommandResult()> run;
    int exit_code;
    std::string message_part;
  };
  const std::string dir = ::testing::TempDir();
  const Case cases[] = {
      {"add in the future", [&] { return AddDraw(store, "2026225", "123", "2026-08-26", today); },
       kBadInput, "晚于今天"},
      {"add after a hole", [&] { return AddDraw(store, "2026226", "123", "2026-08-24", today); },
       kBadInput, "缺了 2026225 期"},
      {"add before the history",
       [&] { return AddDraw(store, "2026001", "123", "2026-01-01", today); }, kBadInput,
       "早于已有的第一期"},
      {"add the previous draw's date",
       [&] { return AddDraw(store, "2026225", "123", "2026-08-22", today); }, kBadInput,
       "不在上一期的日期之后"},
      {"add with no date", [&] { return AddDraw(store, "2026225", "123", "", today); }, kAdded,
       "2026225 2026-08-23 123\n  日期按开奖日程取 2026-08-23"},
      {"add again", [&] { return AddDraw(store, "2026225", "123", "2026-08-23", today); }, kAdded,
       "nothing new"},
      {"add other digits", [&] { return AddDraw(store, "2026225", "124", "2026-08-23", today); },
       kConflict, "held as 123, not 124"},
      {"add two digits", [&] { return AddDraw(store, "2026226", "12", "2026-08-24", today); },
       kBadInput, "digits '12'"},
      {"add no date", [&] { return AddDraw(store, "2026226", "123", "2026-13-01", today); },
       kBadInput, "2026-13-01"},
      {"remove a shipped draw", [&] { return RemoveDraw(store, "2026224"); }, kBadInput,
       "程序附带"},
      {"remove one not held", [&] { return RemoveDraw(store, "2026226"); }, kBadInput,
       "没有第2026226期"},
      {"import a CSV", [&] { return ImportDraws(store, dir + "/import-good.csv", false, today); },
       kAdded, "added 1 draws"},
      {"import a draw list, verbose",
       [&] { return ImportDraws(store, dir + "/import-list.xml", true, today); }, kAdded,
       "2026227 2026-08-25 789"},
      {"import a bad line",
       [&] { return ImportDraws(store, dir + "/import-bad.csv", false, today); }, kBadInput,
       "line 3: "},
      {"import a conflict",
       [&] { return ImportDraws(store, dir + "/import-conflict.csv", false, today); }, kConflict,
       "draw 2026223 is held as 948, not 000 (line 3)"},
      {"import a draw given twice",
       [&] {
         return ImportDraws(store, dir + "/import-twice.csv", false, today + std::chrono::days(1));
       },
       kBadInput, "draw 2026228 is given twice: as 111 on line 2 and as 112 on line 3"},
      {"import a page", [&] { return ImportDraws(store, dir + "/import-page.html", false, today); },
       kBadInput, "neither"},
      {"import nothing", [&] { return ImportDraws(store, dir + "/missing.csv", false, today); },
       kBadInput, "cannot be opened"},
      {"remove a middle draw", [&] { return RemoveDraw(store, "2026226"); }, kBadInput,
       "只能删去最新的一期 2026227"},
      {"remove the newest", [&] { return RemoveDraw(store, "2026227"); }, kAdded,
       "removed draw 2026227"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandResult result = c.run();
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_THAT(result.message, HasSubstr(c.message_part));
  }
  // Only the draws added, none of the bad or conflicting files' others.
  EXPECT_EQ(StoreText(), "issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,456\n");
}

}  // namespace
}  // namespace zelkor::service
