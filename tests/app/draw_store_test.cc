// The player's store: reading offered draws, the merge rules, the store file,
// the add and import commands, serving what was stored, the upstreams'
// schedule, the settings file and the start-up page's freshness.
#include "draw_service/draw_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "draw_service/commands.h"
#include "draw_service/draw_service.h"
#include "draw_service/freshness.h"
#include "draw_service/settings.h"
#include "draw_service/upstream.h"
#include "draws/draws.h"

namespace zelkor::service {
namespace {

using ::testing::HasSubstr;

constexpr char kShipped[] =
    "issue,date,digits\n2026222,2026-08-20,380\n2026223,2026-08-21,948\n2026224,2026-08-22,862\n";

std::vector<HistoryDraw> History(std::string_view text) {
  auto parsed = ParseHistory(text);
  EXPECT_TRUE(std::holds_alternative<std::vector<HistoryDraw>>(parsed)) << text;
  return std::holds_alternative<std::vector<HistoryDraw>>(parsed)
             ? std::get<std::vector<HistoryDraw>>(std::move(parsed))
             : std::vector<HistoryDraw>{};
}

std::string Row(std::string_view issue, std::string_view opencode, std::string_view date) {
  return "<row expect=\"" + std::string(issue) + "\" opencode=\"" + std::string(opencode) +
         "\" opentime=\"" + std::string(date) + " 21:15:00\" trycode=\"\" tryinfo=\"\" />\n";
}

// Draws as "issue date digits" lines, for comparing whole histories.
std::vector<std::string> Lines(const std::vector<HistoryDraw>& draws) {
  std::vector<std::string> lines;
  for (const HistoryDraw& d : draws) lines.push_back(d.issue + " " + d.date + " " + d.digits);
  return lines;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(DrawSourceTest, TellsTheFormatsApartAndRefusesBadRowsOneByOne) {
  struct Case {
    std::string text;
    std::vector<std::string> draws;
    std::vector<int> refused_lines;
    std::string error_part;
  };
  const Case cases[] = {
      {"issue,date,digits\r\n2026225,2026-08-23,123\r\n", {"2026225 2026-08-23 123"}, {}, ""},
      {"\xEF\xBB\xBFissue,date,digits\n2026225,2026-08-23,123\n",
       {"2026225 2026-08-23 123"},
       {},
       ""},
      {"issue,date,digits\n2026225,2026-02-30,123\n2026226,2026-08-24,12\n\n2026227,2026-08-25,"
       "001\n",
       {"2026227 2026-08-25 001"},
       {2, 3},
       ""},
      {"<?xml version=\"1.0\"?>\n<xml>\n" + Row("2026226", "4,5,6", "2026-08-24") +
           Row("2026225", "1,2,3", "2026-08-23") + "</xml>\n",
       {"2026226 2026-08-24 456", "2026225 2026-08-23 123"},
       {},
       ""},
      {"<xml>\n" + Row("2026226", "4,56,", "2026-08-24") + Row("2026225", "1,2,3", "23.08.2026") +
           Row("2025225", "1,2,3", "2026-08-23") + Row("2026224", "8,6,2", "2026-08-22"),
       {"2026224 2026-08-22 862"},
       {2, 3, 4},
       ""},
      {"issue,date,digits\n", {}, {}, "no draw"},
      {"<html><body><h1>503 Service Unavailable</h1></body></html>", {}, {}, "neither"},
      {std::string("\x00\xff garbage <row expect=\"", 22), {}, {}, "neither"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const DrawSource source = ReadDrawSource(c.text);
    std::vector<HistoryDraw> draws;
    for (const OfferedDraw& offered : source.draws) draws.push_back(offered.draw);
    EXPECT_EQ(Lines(draws), c.draws);
    std::vector<int> refused;
    for (const RefusedRow& row : source.refused) refused.push_back(row.line);
    EXPECT_EQ(refused, c.refused_lines);
    if (c.error_part.empty()) {
      EXPECT_EQ(source.error, "");
    } else {
      EXPECT_THAT(source.error, HasSubstr(c.error_part));
    }
  }
}

TEST(MergeTest, KeepsEveryHeldDrawAndAddsOnlyWhatFits) {
  const std::vector<HistoryDraw> held = History(kShipped);
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

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::path(::testing::TempDir()) /
        ("store-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void WriteStore(std::string_view text) {
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / kStoreFileName, std::ios::binary) << text;
  }
  std::string StoreText() const { return ReadAll(folder_ / kStoreFileName); }
  DrawStore Store() const { return DrawStore(History(kShipped), folder_); }
  std::filesystem::path folder_;
};

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
  std::ofstream(::testing::TempDir() + "/import-page.html") << "<html>404</html>";
  const DrawStore store = Store();
  const auto today = std::chrono::sys_days{std::chrono::year{2026} / 8 / 23};
  struct Case {
    std::string name;
    std::function<CommandResult()> run;
    int exit_code;
    std::string message_part;
  };
  const std::string dir = ::testing::TempDir();
  const Case cases[] = {
      {"add with today's date", [&] { return AddDraw(store, "2026225", "123", "", today); }, kAdded,
       "2026225 2026-08-23 123"},
      {"add again", [&] { return AddDraw(store, "2026225", "123", "2026-08-23", today); }, kAdded,
       "nothing new"},
      {"add other digits", [&] { return AddDraw(store, "2026225", "124", "2026-08-23", today); },
       kConflict, "held as 123, not 124"},
      {"add two digits", [&] { return AddDraw(store, "2026226", "12", "2026-08-24", today); },
       kBadInput, "digits '12'"},
      {"add no date", [&] { return AddDraw(store, "2026226", "123", "2026-13-01", today); },
       kBadInput, "2026-13-01"},
      {"add out of order", [&] { return AddDraw(store, "2026226", "123", "2026-08-01", today); },
       kBadInput, "before"},
      {"import a CSV", [&] { return ImportDraws(store, dir + "/import-good.csv"); }, kAdded,
       "added 1 draws"},
      {"import a draw list", [&] { return ImportDraws(store, dir + "/import-list.xml"); }, kAdded,
       "2026227 2026-08-25 789"},
      {"import a bad line", [&] { return ImportDraws(store, dir + "/import-bad.csv"); }, kBadInput,
       "line 3: "},
      {"import a conflict", [&] { return ImportDraws(store, dir + "/import-conflict.csv"); },
       kConflict, "draw 2026223 is held as 948, not 000 (line 3)"},
      {"import a page", [&] { return ImportDraws(store, dir + "/import-page.html"); }, kBadInput,
       "neither"},
      {"import nothing", [&] { return ImportDraws(store, dir + "/missing.csv"); }, kBadInput,
       "cannot be opened"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandResult result = c.run();
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_THAT(result.message, HasSubstr(c.message_part));
  }
  // Only the draws added, none of the bad or conflicting files' others.
  EXPECT_EQ(StoreText(),
            "issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,456\n"
            "2026227,2026-08-25,789\n");
}

TEST_F(StoreTest, AStoreThePlayerBrokeIsNeitherUsedNorOverwritten) {
  const std::string broken = "issue,date,digits\n2026225,2026-08-23,12\n";
  WriteStore(broken);
  const CommandResult result =
      AddDraw(Store(), "2026226", "456", "2026-08-24", std::chrono::sys_days{});
  EXPECT_EQ(result.exit_code, kNotStored);
  EXPECT_THAT(result.message, HasSubstr(":2: digits '12'"));
  EXPECT_EQ(StoreText(), broken);
  // Emptied down to its header it is simply empty.
  WriteStore("issue,date,digits\r\n");
  EXPECT_EQ(AddDraw(Store(), "2026225", "123", "2026-08-23", {}).exit_code, kAdded);
}

TEST_F(StoreTest, ServedHistoryShowsWhatWasStoredFromTheNextRefreshOn) {
  const DrawStore store = Store();
  DocumentHolder holder;
  std::vector<std::string> log;
  ServedHistory served(store, holder, 0, [&log](const std::string& line) { log.push_back(line); });
  served.Refresh();
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026224");
  const auto before = holder.Current();
  served.Refresh();
  EXPECT_EQ(holder.Current(), before) << "republished with nothing changed";

  ASSERT_EQ(AddDraw(store, "2026225", "123", "2026-08-23", {}).exit_code, kAdded);
  served.Refresh();
  const std::vector<DrawRecord> rows = ParseDrawList(holder.Current()->draw_list);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows.front(), (DrawRecord{"2026225", "123"}));
  EXPECT_EQ(before->draw_list.find("2026225"), std::string::npos) << "a document was changed";

  // A store broken by hand keeps the documents as they were.
  WriteStore("issue,date,digits\nbroken\n");
  served.Refresh();
  EXPECT_EQ(ParseDrawList(holder.Current()->draw_list).front().issue, "2026225");
  EXPECT_THAT(log, ::testing::Contains(HasSubstr("cannot use the store")));
}

TEST(ScheduleTest, AsksEveryIntervalAfterTheEveningDrawAndBacksOff) {
  using namespace std::chrono;
  const auto at = [](int day, int hour, int minute) {
    return system_clock::time_point(sys_days{year{2026} / 12 / day} + hours(hour) +
                                    minutes(minute));
  };
  struct Case {
    system_clock::time_point last;
    int failures;
    system_clock::time_point next;
  };
  const Case cases[] = {
      {at(9, 1, 0), 0, at(9, 1, 30)},     // every half hour
      {at(9, 13, 10), 0, at(9, 13, 30)},  // 21:30 in Beijing comes first
      {at(9, 13, 30), 0, at(9, 14, 0)},
      {at(9, 1, 0), 1, at(9, 1, 1)},  // back-off: 1, 2, 4 ... minutes
      {at(9, 1, 0), 3, at(9, 1, 4)},
      {at(9, 1, 0), 7, at(9, 2, 4)},
      {at(9, 2, 0), 30, at(9, 6, 0)},  // at most four hours
      {at(9, 12, 0), 30, at(9, 13, 30)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextAttempt(c.last, c.failures, kUpdateInterval), c.next)
        << c.failures << " failures after "
        << duration_cast<minutes>(c.last.time_since_epoch()).count();
  }
}

TEST(SettingsTest, ReadsUpstreamsSkipsCommentsAndWarnsOfTheRest) {
  const Settings settings = ParseSettings(
      "# my upstreams\n; also a comment\n\nupstream = http://127.0.0.1:8080/a.xml\r\n"
      "  upstream=http://127.0.0.1:8081/b.csv  \nupstrem = x\nupstream =\njust words\n"
      "upstream = 127.0.0.1:8082/c.xml\n",
      "draw-service.conf");
  EXPECT_THAT(settings.upstreams,
              ::testing::ElementsAre("http://127.0.0.1:8080/a.xml", "http://127.0.0.1:8081/b.csv"));
  EXPECT_THAT(settings.warnings,
              ::testing::ElementsAre(HasSubstr("draw-service.conf:6: unknown setting 'upstrem'"),
                                     HasSubstr(":7: upstream without an address"),
                                     HasSubstr(":8: expected key = value"),
                                     HasSubstr(":9: upstream '127.0.0.1:8082/c.xml' is not an "
                                               "http:// or https:// address")));
}

TEST(FreshnessTest, TheStartupPageTellsTheAgeAndHowToCatchUpWhenStale) {
  const std::vector<HistoryDraw> draws = History(kShipped);
  const auto day = [](unsigned d) {
    return std::chrono::sys_days{std::chrono::year{2026} / 8 / d};
  };
  const std::string fresh = StartupPage(draws, day(24));
  EXPECT_THAT(fresh, HasSubstr("最新一期:2026224期(2026-08-22开奖),距今2天。"));
  EXPECT_THAT(fresh, ::testing::Not(HasSubstr("upstream")));
  const std::string stale = StartupPage(draws, day(25));
  EXPECT_THAT(stale, HasSubstr("距今3天"));
  EXPECT_THAT(stale, HasSubstr("<code>~/.config/zelkor3d/draw-service.conf</code>"));
  EXPECT_THAT(stale, HasSubstr("zelkor3d-draw-service add"));
  EXPECT_EQ(FreshnessLogLine(draws.back(), day(25)),
            "newest draw 2026224 of 2026-08-22, 3 days old");
}

}  // namespace
}  // namespace zelkor::service
