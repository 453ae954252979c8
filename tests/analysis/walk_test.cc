#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/picks.h"
#include "runtime/gbk.h"
#include "tests/analysis/worked_examples.h"
#include "ui/page_texts.h"

namespace zelkor {
namespace {

struct NoticeLog {
  std::vector<Text> messages;
  // How many lines had been judged when each notice came.
  std::vector<int64_t> judged_before;
  WalkTally tally;

  Notify notify() {
    return [this](const Text& message) {
      messages.push_back(message);
      judged_before.push_back(tally.judged);
    };
  }
};

Text Page(const AnalysisPage& page, const std::vector<HistoryRow>& rows, int32_t position = 1,
          const PageTexts& texts = InitialPageTexts(), NoticeLog* log = nullptr) {
  NoticeLog local;
  NoticeLog& used = log != nullptr ? *log : local;
  return BuildPageText(page, rows, texts, position, used.notify(), &used.tally);
}

TEST(BuildAnalysisTextTest, WorkedExamplesOfTheThreePages) {
  struct Case {
    const AnalysisPage* page;
    std::vector<HistoryRow> rows;
    Text expected;
    int64_t held;
  };
  const std::vector<Case> cases = {
      {&KillDigitPage(), testing::KillDigitHistory(), testing::KillDigitExpected(), 1},
      {&BankerDigitPage(), testing::BankerHistory(), testing::BankerExpected(), 1},
      {&KillSpanPage(), testing::BankerHistory(), testing::KillSpanExpected(), 2},
  };
  for (const Case& c : cases) {
    NoticeLog log;
    EXPECT_EQ(Page(*c.page, c.rows, 1, InitialPageTexts(), &log), c.expected);
    EXPECT_EQ(log.tally.judged, 2);
    EXPECT_EQ(log.tally.held, c.held);
    EXPECT_TRUE(log.messages.empty());
  }
}

TEST(BuildAnalysisTextTest, EmptyAndOneRowListsGiveOnlyTheNextIssueLine) {
  const Text& footer = InitialPageTexts().footer;
  struct Case {
    const AnalysisPage* page;
    Text line;
  };
  const std::vector<Case> cases = {
      {&KillDigitPage(), Gbk("┊1期:Zelkor3D杀码┊【】┊未开\r\n")},
      {&BankerDigitPage(), Gbk("┊1期:Zelkor3D杀码┊【123】┊未开\r\n")},
      {&KillSpanPage(), Gbk("┊1期:Zelkor3D杀码┊【12】┊未开\r\n")},
  };
  for (const Case& c : cases) {
    // The single row is never read, whatever it holds.
    for (const auto& rows : {std::vector<HistoryRow>{}, std::vector<HistoryRow>{{"2024001", ""}},
                             std::vector<HistoryRow>{{"2024001", "789"}}}) {
      NoticeLog log;
      EXPECT_EQ(Page(*c.page, rows, 1, InitialPageTexts(), &log), c.line + footer);
      EXPECT_EQ(log.tally.judged, 0);
      EXPECT_TRUE(log.messages.empty());
    }
  }
}

TEST(BuildAnalysisTextTest, TwoRowsGiveOneJudgedLine) {
  const std::vector<HistoryRow> rows = {{"2024002", "456"}, {"2024001", "123"}};
  EXPECT_EQ(Page(KillDigitPage(), rows), Gbk("┊2024002期:Zelkor3D杀码┊【4】┊456错Ｘ\r\n"
                                             "┊2024003期:Zelkor3D杀码┊【6】┊未开\r\n") +
                                             InitialPageTexts().footer);
}

// The multiplier goes with the position but is not the position: a swap of
// either would change a pick or the digit it is judged against.
TEST(BuildAnalysisTextTest, KillPositionSetsMultiplierAndJudgedDigit) {
  struct Case {
    int32_t position;
    Text checked;
    Text line;
  };
  const std::vector<Case> cases = {
      {1, "439", "┊2024002期:Zelkor3D杀码┊【4】┊439错Ｘ\r\n"},
      {2, "439", "┊2024002期:Zelkor3D杀码┊【3】┊439错Ｘ\r\n"},
      {3, "439", "┊2024002期:Zelkor3D杀码┊【9】┊439错Ｘ\r\n"},
      {1, "394", "┊2024002期:Zelkor3D杀码┊【4】┊394准√\r\n"},
      {2, "394", "┊2024002期:Zelkor3D杀码┊【3】┊394准√\r\n"},
      {3, "394", "┊2024002期:Zelkor3D杀码┊【9】┊394准√\r\n"},
      // No position: multiplier 0 leaves the digit sum 6, whose kill digit
      // is "", equal to the "" read at position 0.
      {0, "394", "┊2024002期:Zelkor3D杀码┊【】┊394错Ｘ\r\n"},
  };
  for (const Case& c : cases) {
    const std::vector<HistoryRow> rows = {{"2024002", c.checked}, {"2024001", "123"}};
    const Text text = Page(KillDigitPage(), rows, c.position);
    EXPECT_EQ(text.substr(0, Gbk(c.line).size()), Gbk(c.line)) << "position " << c.position;
  }
}

TEST(KillPositionMultiplierTest, HundredsTensUnits) {
  const std::vector<std::pair<int32_t, double>> cases = {{0, 0.0}, {1, 1.0}, {2, 5.0},
                                                         {3, 2.0}, {4, 0.0}, {-1, 0.0}};
  for (const auto& [position, multiplier] : cases) {
    EXPECT_EQ(KillPositionMultiplier(position), multiplier) << position;
  }
}

TEST(BuildAnalysisTextTest, NextIssueIsTheNewestIssuePlusOne) {
  const std::vector<std::pair<Text, Text>> cases = {
      {"2024358", "2024359"}, {"0123", "124"}, {"abc", "1"}, {"", "1"}, {"99999", "100000"}};
  for (const auto& [newest, next] : cases) {
    const std::vector<HistoryRow> rows = {{newest, "456"}, {"2024001", "123"}};
    const Text text = Page(BankerDigitPage(), rows);
    const Text line = Gbk("\r\n┊") + next + Gbk("期:Zelkor3D杀码┊【147】┊未开\r\n");
    EXPECT_NE(text.find(line), Text::npos) << newest;
  }
}

TEST(BuildAnalysisTextTest, DrawsOfOtherLengths) {
  // Source "12": value 10.8687282, kill digit 7; "1234" reads as 123; "7" as 7.
  const std::vector<HistoryRow> rows = {
      {"2024004", "7"}, {"2024003", "1234"}, {"2024002", "555"}, {"2024001", "12"}};
  EXPECT_EQ(Page(KillDigitPage(), rows), Gbk("┊2024002期:Zelkor3D杀码┊【7】┊555准√\r\n"
                                             "┊2024003期:Zelkor3D杀码┊【6】┊1234准√\r\n"
                                             "┊2024004期:Zelkor3D杀码┊【4】┊7准√\r\n"
                                             "┊2024005期:Zelkor3D杀码┊【0】┊未开\r\n") +
                                             InitialPageTexts().footer);
  // A banker line against a short draw counts as correct: "" is always found.
  EXPECT_EQ(Page(BankerDigitPage(), {{"2024002", "55"}, {"2024001", "123"}}),
            Gbk("┊2024002期:Zelkor3D杀码┊【469】┊55准√\r\n"
                "┊2024003期:Zelkor3D杀码┊【713】┊未开\r\n") +
                InitialPageTexts().footer);
}

TEST(BuildAnalysisTextTest, KillSpanNoticesComeOncePerBadLineBeforeItsVerdict) {
  const std::vector<HistoryRow> rows = {{"2024005", ""},
                                        {"2024004", "1234"},
                                        {"2024003", "456"},
                                        {"2024002", "12"},
                                        {"2024001", "123"}};
  NoticeLog log;
  const Text text = Page(KillSpanPage(), rows, 0, InitialPageTexts(), &log);
  EXPECT_EQ(text, Gbk("┊2024002期:Zelkor3D杀码┊【36】┊12准√\r\n"
                      "┊2024003期:Zelkor3D杀码┊【08】┊456准√\r\n"
                      "┊2024004期:Zelkor3D杀码┊【12】┊1234准√\r\n"
                      "┊2024005期:Zelkor3D杀码┊【36】┊错Ｘ\r\n"
                      "┊2024006期:Zelkor3D杀码┊【12】┊未开\r\n") +
                      InitialPageTexts().footer);
  EXPECT_EQ(log.messages, std::vector<Text>(3, KillSpanInputNotice()));
  EXPECT_EQ(log.judged_before, (std::vector<int64_t>{0, 2, 3}));
  EXPECT_EQ(log.tally.judged, 4);
  EXPECT_EQ(log.tally.held, 3);
}

// Long histories repeat the thousand possible draws; whatever the walk does to
// avoid working a value out twice, each line must see the value of its own
// source draw, also when look-alikes that are not three ASCII digits sit
// between them and when the multiplier changes from one walk to the next.
TEST(BuildAnalysisTextTest, EverySourceGetsItsOwnValueText) {
  const std::vector<Text> look_alikes = {"12",  "1234",        "1a3",       " 12",
                                         "1.5", "-12",         "+12",       "1e2",
                                         "",    Gbk("１２３"), Gbk("1二3"), "12\xA3"};
  std::vector<HistoryRow> rows;
  for (int k = 0; k < 2000; ++k) {
    const int number = k * 7919 % 1000;
    rows.push_back({ToText(int32_t{k}), Text{static_cast<char>('0' + number / 100),
                                             static_cast<char>('0' + number / 10 % 10),
                                             static_cast<char>('0' + number % 10)}});
    if (k % 50 == 0)
      rows.push_back({"x", look_alikes[static_cast<size_t>(k / 50) % look_alikes.size()]});
  }
  // The pick shows the value text itself, so every line tells which value
  // its source was given.
  const PickFn pick = [](const Text& value_text) { return value_text; };
  const VerdictFn verdict = [](int32_t, const Text&, const Text&, const Notify&) { return true; };
  for (const double multiplier : {1.0, 6.0, 5.0, 2.0, 0.0}) {
    const Text built =
        BuildAnalysisText(rows, PageTexts{}, multiplier, 1, pick, verdict, [](const Text&) {});
    Text expected;
    for (size_t row = rows.size() - 1; row >= 1; --row) {
      expected += rows[row - 1].issue + Gbk("期:") +
                  ComputeDrawValue(rows[row].digits, multiplier).text + rows[row - 1].digits +
                  "\r\n";
    }
    expected += ToText(ToInteger(rows[0].issue) + 1.0) + Gbk("期:") +
                ComputeDrawValue(rows[0].digits, multiplier).text + "\r\n";
    ASSERT_EQ(built, expected) << "multiplier " << multiplier;
  }
}

// The line sink sees each line as the text has it, with the value and pick of
// its own source draw, also when the newest draw repeats an earlier source
// (the walk works each distinct draw out once).
TEST(BuildAnalysisTextTest, TheSinkHandsOutEachLineAsWritten) {
  const std::vector<HistoryRow> rows = {
      {"2024004", "123"}, {"2024003", "907"}, {"2024002", "123"}, {"2024001", "458"}};
  const PageTexts texts = InitialPageTexts();
  for (const AnalysisPage* page : AllAnalysisPages()) {
    for (const int32_t position : {1, 2, 3}) {
      const double multiplier =
          page->HasKillPosition() ? KillPositionMultiplier(position) : page->multiplier;
      Text rebuilt;
      std::vector<Text> sources;
      const Text built = BuildPageText(
          *page, rows, texts, position, [](const Text&) {}, nullptr,
          [&](const WalkLine& line) {
            const Text value = ComputeDrawValue(Text(line.source_digits), multiplier).text;
            EXPECT_EQ(line.value_text, value) << line.issue;
            EXPECT_EQ(line.pick, page->pick(value)) << line.issue;
            sources.emplace_back(line.source_digits);
            rebuilt += texts.separator + Text(line.issue) + Gbk("期:") + texts.name +
                       texts.separator + texts.left + Text(line.pick) + texts.right +
                       texts.separator;
            rebuilt += line.held
                           ? Text(line.checked_digits) + (*line.held ? texts.correct : texts.wrong)
                           : texts.not_drawn;
            rebuilt += "\r\n";
          });
      EXPECT_EQ(built, rebuilt + texts.footer);
      EXPECT_EQ(sources, (std::vector<Text>{"458", "123", "907", "123"}));
    }
  }
}

// A text handed out in pieces is the whole text, cut only after line breaks.
TEST(BuildAnalysisTextTest, PiecesPutTogetherAreTheWholeText) {
  std::vector<HistoryRow> rows;
  for (int i = 5000; i > 0; --i) rows.push_back({std::to_string(2000000 + i), std::to_string(i)});
  const PageTexts texts = InitialPageTexts();
  for (const AnalysisPage* page : AllAnalysisPages()) {
    std::vector<std::string> pieces;
    const Text rest = BuildPageText(
        *page, rows, texts, 1, [](const Text&) {}, nullptr, {},
        [&pieces](std::string_view piece) { pieces.emplace_back(piece); });
    EXPECT_EQ(rest, "");
    ASSERT_GT(pieces.size(), 1u);
    std::string whole;
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i + 1 < pieces.size()) {
        EXPECT_TRUE(pieces[i].ends_with("\r\n")) << i;
      }
      whole += pieces[i];
    }
    EXPECT_EQ(whole, BuildPageText(*page, rows, texts, 1, [](const Text&) {}));
  }
}

TEST(BuildAnalysisTextTest, BoxTextsAreUsedAsTyped) {
  const std::vector<HistoryRow> rows = {{"2024002", "456"}, {"2024001", "123"}};
  struct Case {
    PageTexts texts;
    Text expected;
  };
  const std::vector<Case> cases = {
      {PageTexts{}, Gbk("2024002期:4456\r\n2024003期:6\r\n")},
      {PageTexts{Gbk("--"), Gbk("测试名"), "<<", Gbk("》"), "OK", Gbk("坏"), Gbk("待"),
                 Gbk("尾\r\n页")},
       Gbk("--2024002期:测试名--<<4》--456坏\r\n"
           "--2024003期:测试名--<<6》--待\r\n尾\r\n页")},
  };
  for (const Case& c : cases) EXPECT_EQ(Page(KillDigitPage(), rows, 1, c.texts), c.expected);
}

TEST(BuildAnalysisTextTest, HandsPositionPickAndNoticeToTheOperations) {
  // A walk with operations of its own, not a page's.
  const std::vector<HistoryRow> rows = {{"3", "333"}, {"2", "222"}, {"1", "111"}};
  std::vector<Text> seen_values;
  const PickFn pick = [&seen_values](const Text& value_text) {
    seen_values.push_back(value_text);
    return Text("p");
  };
  std::vector<Text> judged;
  const VerdictFn verdict = [&judged](int32_t position, const Text& picked, const Text& checked,
                                      const Notify& notify) {
    EXPECT_EQ(position, 7);
    judged.push_back(picked + checked);
    notify(checked);
    return checked == "333";
  };
  std::vector<Text> notices;
  const Notify notify = [&notices](const Text& message) { notices.push_back(message); };
  WalkTally tally;
  const Text text = BuildAnalysisText(rows, PageTexts{}, 1.0, 7, pick, verdict, notify, &tally);
  EXPECT_EQ(seen_values,
            (std::vector<Text>{ComputeDrawValue("111", 1.0).text, ComputeDrawValue("222", 1.0).text,
                               ComputeDrawValue("333", 1.0).text}));
  EXPECT_EQ(judged, (std::vector<Text>{"p222", "p333"}));
  EXPECT_EQ(notices, (std::vector<Text>{"222", "333"}));
  EXPECT_EQ(tally.judged, 2);
  EXPECT_EQ(tally.held, 1);
  EXPECT_EQ(text, Gbk("2期:p222\r\n3期:p333\r\n4期:p\r\n"));
}

}  // namespace
}  // namespace zelkor
