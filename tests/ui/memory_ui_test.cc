#include "ui/memory_ui.h"

#include <gtest/gtest.h>

#include "runtime/gbk.h"
#include "ui/page_texts.h"

namespace zelkor {
namespace {

using namespace ctl;

TEST(MemoryUiTest, ListRowsBehaveLikeTheWindowList) {
  MemoryUi ui;
  EXPECT_EQ(ui.GetCellText(超级列表框1, 0, 1), "");
  EXPECT_EQ(ui.AppendRow(超级列表框1), 0);
  EXPECT_EQ(ui.AppendRow(超级列表框1), 1);
  ui.SetCellText(超级列表框1, 1, 1, "358");
  ui.SetCellText(超级列表框1, 5, 1, "999");  // names no row: nothing changes
  EXPECT_EQ(ui.RowCount(超级列表框1), 2);
  EXPECT_EQ(ui.GetCellText(超级列表框1, 1, 1), "358");
  EXPECT_EQ(ui.GetCellText(超级列表框1, 1, 0), "");
  EXPECT_EQ(ui.GetCellText(超级列表框1, -1, 1), "");
  EXPECT_EQ(ui.SelectedRow(超级列表框1), -1);
  ui.SelectRow(1);
  EXPECT_EQ(ui.SelectedRow(超级列表框1), 1);
  ui.SelectRow(7);  // a click below the rows clears the selection
  EXPECT_EQ(ui.SelectedRow(超级列表框1), -1);
}

TEST(MemoryUiTest, RadiosDoNotClearEachOther) {
  MemoryUi ui;
  ui.CheckRadio(单选框_十, true);
  ui.CheckRadio(单选框_百, true);
  EXPECT_TRUE(ui.IsRadioChecked(单选框_百));
  EXPECT_TRUE(ui.IsRadioChecked(单选框_十));
  EXPECT_FALSE(ui.IsRadioChecked(单选框_个));
  ui.CheckRadio(单选框_百, false);
  EXPECT_FALSE(ui.IsRadioChecked(单选框_百));
}

TEST(MemoryUiTest, MessagesClipboardAndCallsAreRecorded) {
  MemoryUi ui;
  ui.SetMessageAnswer([](const MemoryUi::Message& m) { return m.style == 4 ? 6 : 0; });
  EXPECT_EQ(ui.ShowMessage("a"), 0);
  EXPECT_EQ(ui.ShowMessage("b", message_style::kYesNo, Text("c")), 6);
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[0].caption, Gbk("信息："));
  EXPECT_EQ(ui.messages()[1].caption, "c");
  EXPECT_TRUE(ui.SetClipboardText("x"));
  ui.SetClipboardAvailable(false);
  EXPECT_FALSE(ui.SetClipboardText("y"));
  EXPECT_EQ(ui.clipboard(), "x");
  ui.ApplyVisualStyle(9);
  EXPECT_EQ(ui.visual_style(), 0);
  ui.SetBoxText(编辑框1, "1");
  EXPECT_EQ(ui.calls().back(), "SetBoxText(编辑框1)");
}

TEST(MemoryUiTest, InitialTextsAreGbk) {
  const PageTexts& t = InitialPageTexts();
  EXPECT_EQ(t.separator, "\xA9\xAE");
  EXPECT_EQ(t.wrong, "\xB4\xED\xA3\xD8");
  EXPECT_EQ(t.name, Gbk("Zelkor3D杀码"));
  // Two lines: the note, then three spaces and the website.
  const auto line_break = t.footer.find("\r\n");
  ASSERT_NE(line_break, Text::npos);
  EXPECT_EQ(t.footer.substr(0, line_break),
            Gbk("注:Zelkor祝大家天天中奖,玩彩要注意\"心\"\"气\"\"神\"!"));
  EXPECT_EQ(t.footer.substr(line_break + 2), "   " + ProductWebsite());
}

}  // namespace
}  // namespace zelkor
