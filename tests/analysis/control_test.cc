#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/picks.h"
#include "runtime/gbk.h"
#include "tests/analysis/worked_examples.h"
#include "tests/support/ui_fixtures.h"
#include "ui/memory_ui.h"

namespace zelkor {
namespace {

using test_support::FillHistory;
using test_support::FillPageBoxes;

// A window as it opens: initial texts on every page, 百 checked, stale output.
void OpenWindow(MemoryUi& ui, const std::vector<HistoryRow>& rows) {
  FillHistory(ui, rows);
  for (const AnalysisPage* page : AllAnalysisPages()) {
    FillPageBoxes(ui, *page, InitialPageTexts());
    ui.SetBoxText(page->OutputBox(), "stale");
  }
  ui.CheckRadio(ctl::单选框_百, true);
  ui.ClearCalls();
}

std::string CallOn(std::string_view operation, std::string_view control) {
  return std::string(operation) + "(" + std::string(control) + ")";
}

// One row per page of the layout, in tab order, none with a field left out
// and no two with the same name or meaning.
TEST(AnalysisPagesTest, TableHasARowForEachLayoutPageWithEveryFieldSet) {
  const auto& pages = AllAnalysisPages();
  ASSERT_EQ(pages.size(), layout::kPages.size());
  EXPECT_EQ(pages[0], &KillDigitPage());
  EXPECT_EQ(pages[1], &BankerDigitPage());
  EXPECT_EQ(pages[2], &KillSpanPage());
  EXPECT_EQ(KillDigitPage().OutputBox(), ctl::编辑框_杀码);
  EXPECT_EQ(KillSpanPage().CopyButton(), ctl::按钮3);
  // Each text field, as seen on the pages so far.
  std::array<std::set<std::string_view>, 5> seen;
  for (size_t i = 0; i < pages.size(); ++i) {
    const AnalysisPage& page = *pages[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(page.tab, static_cast<int>(i));
    EXPECT_TRUE(page.pick && page.verdict);
    EXPECT_TRUE(page.HasKillPosition() || page.multiplier != 0.0);
    const std::array fields{page.option_name, page.english_label, page.chinese_label,
                            page.english_name, page.pick_meaning};
    for (size_t f = 0; f < fields.size(); ++f) {
      EXPECT_FALSE(fields[f].empty()) << f;
      EXPECT_TRUE(seen[f].insert(fields[f]).second) << fields[f];
    }
    EXPECT_EQ(AnalysisPageNamed(page.option_name), &page);
  }
  EXPECT_EQ(AnalysisPageNamed("Kill"), nullptr);
}

TEST(RunAnalysisWalkTest, FillsEachPageOutputFromTheList) {
  struct Case {
    const AnalysisPage* page;
    std::vector<HistoryRow> rows;
    Text expected;
  };
  const std::vector<Case> cases = {
      {&KillDigitPage(), testing::KillDigitHistory(), testing::KillDigitExpected()},
      {&BankerDigitPage(), testing::BankerHistory(), testing::BankerExpected()},
      {&KillSpanPage(), testing::BankerHistory(), testing::KillSpanExpected()},
  };
  for (const Case& c : cases) {
    MemoryUi ui;
    OpenWindow(ui, c.rows);
    RunAnalysisWalk(ui, *c.page);
    const std::vector<std::string> calls = ui.calls();
    EXPECT_EQ(ui.GetBoxText(c.page->OutputBox()), c.expected) << c.page->OutputBox().name;
    // Cleared before anything is read; the result written last.
    const std::string set_output = CallOn("SetBoxText", c.page->OutputBox().name);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), set_output);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), set_output), 2);
    EXPECT_EQ(calls.back(), set_output);
    // Two cells per row, each read once; eight boxes, each read once.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), CallOn("GetCellText", "超级列表框1")),
              static_cast<std::ptrdiff_t>(2 * c.rows.size()));
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.starts_with("GetBoxText"); }),
              8);
    EXPECT_TRUE(ui.messages().empty());
    // The other pages' outputs are left alone.
    for (const AnalysisPage* other : AllAnalysisPages()) {
      if (other != c.page) {
        EXPECT_EQ(ui.GetBoxText(other->OutputBox()), "stale");
      }
    }
  }
}

TEST(RunAnalysisWalkTest, OutputIsEmptyWhileTheWalkRuns) {
  MemoryUi ui;
  OpenWindow(ui, {{"2024002", "12"}, {"2024001", "123"}});
  Text output_during_notice = "unset";
  ui.SetMessageAnswer([&](const MemoryUi::Message&) {
    output_during_notice = ui.GetBoxText(ctl::编辑框_杀跨);
    return 0;
  });
  RunAnalysisWalk(ui, KillSpanPage());
  EXPECT_EQ(output_during_notice, "");
}

TEST(RunAnalysisWalkTest, KillSpanNoticesAreMessageBoxes) {
  MemoryUi ui;
  OpenWindow(ui, {{"2024004", ""}, {"2024003", "1234"}, {"2024002", "456"}, {"2024001", "123"}});
  RunAnalysisWalk(ui, KillSpanPage());
  ASSERT_EQ(ui.messages().size(), 2u);
  for (const MemoryUi::Message& message : ui.messages()) {
    EXPECT_EQ(message.text, Gbk("请查看你输入是否对错"));
    EXPECT_EQ(message.style, message_style::kOk);
    EXPECT_EQ(message.caption, DefaultMessageCaption());
  }
  // The walk went on past both and finished the text.
  EXPECT_NE(ui.GetBoxText(ctl::编辑框_杀跨).find(Gbk("┊2024005期:")), Text::npos);
}

TEST(RunAnalysisWalkTest, KillDigitPageFollowsTheCheckedRadio) {
  MemoryUi ui;
  OpenWindow(ui, {{"2024002", "394"}, {"2024001", "123"}});
  const std::vector<std::pair<RadioButton, Text>> cases = {
      {ctl::单选框_百, "【4】"}, {ctl::单选框_十, "【3】"}, {ctl::单选框_个, "【9】"}};
  for (const auto& [radio, pick] : cases) {
    for (RadioButton each : {ctl::单选框_百, ctl::单选框_十, ctl::单选框_个}) {
      ui.CheckRadio(each, each == radio);
    }
    RunAnalysisWalk(ui, KillDigitPage());
    const Text output = ui.GetBoxText(ctl::编辑框_杀码);
    EXPECT_EQ(output.substr(0, output.find("\r\n")),
              Gbk("┊2024002期:Zelkor3D杀码┊") + Gbk(pick) + Gbk("┊394准√"))
        << radio.name;
  }
}

TEST(KillPositionTest, ReadsHundredsTensUnitsAndTheLastCheckedWins) {
  struct Case {
    bool hundreds, tens, units;
    int32_t position;
    double multiplier;
  };
  const std::vector<Case> cases = {
      {false, false, false, 0, 0.0}, {true, false, false, 1, 1.0}, {false, true, false, 2, 5.0},
      {false, false, true, 3, 2.0},  {true, true, false, 2, 5.0},  {true, false, true, 3, 2.0},
      {true, true, true, 3, 2.0},
  };
  for (const Case& c : cases) {
    MemoryUi ui;
    ui.CheckRadio(ctl::单选框_百, c.hundreds);
    ui.CheckRadio(ctl::单选框_十, c.tens);
    ui.CheckRadio(ctl::单选框_个, c.units);
    ui.ClearCalls();
    const KillPositionChoice choice = KillPosition(ui);
    EXPECT_EQ(choice.position, c.position);
    EXPECT_EQ(choice.multiplier, c.multiplier);
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{CallOn("IsRadioChecked", "单选框_百"),
                                                    CallOn("IsRadioChecked", "单选框_十"),
                                                    CallOn("IsRadioChecked", "单选框_个")}));
  }
}

TEST(CopyOutputBoxTest, PutsThePageOutputOnTheClipboard) {
  for (const AnalysisPage* page : AllAnalysisPages()) {
    MemoryUi ui;
    OpenWindow(ui, testing::BankerHistory());
    RunAnalysisWalk(ui, *page);
    CopyOutputBox(ui, *page);
    EXPECT_EQ(ui.clipboard(), ui.GetBoxText(page->OutputBox()));
    EXPECT_FALSE(ui.clipboard().empty());
  }
}

TEST(CopyOutputBoxTest, UnavailableClipboardIsPassedOverSilently) {
  MemoryUi ui;
  ui.SetBoxText(ctl::编辑框_胆码, Gbk("内容"));
  ui.SetClipboardAvailable(false);
  CopyOutputBox(ui, BankerDigitPage());
  EXPECT_EQ(ui.clipboard(), "");
  EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace zelkor
