// The user-interface operations on the real widgets.
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "ui/qt/history_list.h"
#include "ui/qt/message_box.h"
#include "window_fixture.h"

namespace zelkor::testing {
namespace {

using QtUiTest = WindowTest;

TEST_F(QtUiTest, BoxTextsRoundTripThroughTheWidgets) {
  const std::string long_text(40000, 'x');  // past Qt's default limit of 32767
  struct Case {
    EditBox box;
    Text written;
    Text read;
  };
  const std::vector<Case> cases{
      {ctl::编辑框_名称, Gbk("名称①ABC"), Gbk("名称①ABC")},
      {ctl::编辑框_名称2, long_text, long_text},
      {ctl::编辑框1, Gbk("358"), Gbk("358")},  // read-only, still written
      {ctl::编辑框_杀码, "a\r\nb\r\n\r\nc", "a\r\nb\r\n\r\nc"},
      {ctl::编辑框_杀码, long_text + "\r\n" + long_text, long_text + "\r\n" + long_text},
      {ctl::编辑框_脚本1, Gbk("一\r\n二"), Gbk("一\r\n二")},
      // A bare LF still shows as a line break, and comes back as CR LF.
      {ctl::编辑框_胆码, "a\nb", "a\r\nb"},
      {ctl::编辑框_杀跨, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.box.name) + " <- " + c.written.substr(0, 20));
    ui().SetBoxText(c.box, c.written);
    EXPECT_EQ(ui().GetBoxText(c.box), c.read);
  }
  auto* output = Control<QPlainTextEdit>("编辑框_杀码");
  ui().SetBoxText(ctl::编辑框_杀码, "1\r\n2\r\n3");
  EXPECT_EQ(output->document()->blockCount(), 3);
  ui().SetBoxText(ctl::编辑框_杀码, "");
  ui().SetBoxText(ctl::编辑框1, "");
}

// Over a megabyte of digits with, around the megabyte mark where a long
// text is taken apart, the bytes the conversions and the boxes treat
// specially: `middle` at 1 MiB - 1, then line breaks, invalid and unfinished
// double-byte pairs and GBK hanzi, and `tail` at the end.
Text LongTextAround(const Text& middle, const Text& tail) {
  constexpr size_t kMark = size_t{1} << 20;
  Text text(kMark - 1, '7');
  text += middle + "\n\r\n\r8" + Gbk("期号") + "\x81\n9\x80\xFF\x81\x7F" + Text(300000, '5');
  return text + tail;
}

// Every double-byte character GBK has, once each, repeated past a megabyte.
Text EveryGbkCharacterOverAMegabyte() {
  Text once;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const Text pair{static_cast<char>(lead), static_cast<char>(trail)};
      if (GbkToUtf8(pair) != "?") once += pair;
    }
  }
  Text text;
  while (text.size() <= (size_t{1} << 20)) text += once;
  return text;
}

// What a line or multi-line box showing the whole of `text` gives back.
Text LineBoxReadBack(const Text& text) {
  QLineEdit plain;
  plain.setMaxLength(std::numeric_limits<int>::max());
  plain.setText(ToQString(text));
  return FromQString(plain.text());
}

Text MultiLineBoxReadBack(const Text& text) {
  QPlainTextEdit plain;
  plain.setPlainText(ToDisplayLines(text));
  return FromDisplayLines(plain.toPlainText());
}

// A text too long to lay out in good time is kept whole for the operations
// but shown cut: 编辑框1 shows the start of a cell of any length, an output
// box the start of each overlong line, and each gives back byte for byte
// what it would give showing the whole text.
TEST_F(QtUiTest, BoxesShowTheStartOfOverlongTextsAndGiveBackTheWhole) {
  const Text cell = "1,2," + Text((size_t{2} << 20) - 4, '7');
  const Text hanzi_256 = Text(2, '3') + [] {
    Text t;
    for (int i = 0; i < 127; ++i) t += Gbk("期");
    return t;
  }();
  const Text tricky_texts[] = {
      LongTextAround("\r", ""),                 // a CR LF across the mark
      LongTextAround("\x81", Text("x\0y", 3)),  // a lead byte taking the LF
      LongTextAround(Text(1, '\0'), "x"),
      LongTextAround("7\x81", "\x81"),  // a lead byte taking the zero byte, one unfinished
      LongTextAround("7\x81\0", "z"),
      EveryGbkCharacterOverAMegabyte(),
      // Bytes that are no GBK character, on a line that runs on past the mark.
      Text(size_t{1} << 20, '7') + Gbk("期") + "\x80\xFF\x81\x7F?" + Text(9, '5'),
  };
  auto* draw_box = Control<QLineEdit>("编辑框1");
  // A draw box showing a text of 256 bytes whole, and the rest cut.
  std::vector<Text> line_texts{cell, hanzi_256};
  line_texts.insert(line_texts.end(), std::begin(tricky_texts), std::end(tricky_texts));
  for (const Text& text : line_texts) {
    SCOPED_TRACE(text.size());
    ui().SetBoxText(ctl::编辑框1, text);
    EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), LineBoxReadBack(text));
    const bool cut = text.size() > 256;
    EXPECT_LE(draw_box->text().size(), cut ? 257 : 256);
    EXPECT_EQ(draw_box->text().endsWith(QChar(0x2026)), cut);
  }
  ui().SetBoxText(ctl::编辑框1, cell);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), cell);

  auto* output = Control<QPlainTextEdit>("编辑框_杀码");
  const Text short_line(4096, '6');
  const Text lines[] = {
      "a\r\n" + cell + "\r\nb\r\n" + short_line,
      tricky_texts[0] + "\r\n" + cell,
      tricky_texts[1],
      tricky_texts[2] + "\n" + short_line,
      tricky_texts[3],
      tricky_texts[4],
      tricky_texts[5],
      tricky_texts[6],
  };
  for (const Text& text : lines) {
    SCOPED_TRACE(text.size());
    ui().SetBoxText(ctl::编辑框_杀码, text);
    EXPECT_EQ(ui().GetBoxText(ctl::编辑框_杀码), MultiLineBoxReadBack(text));
    int longest = 0;
    for (QTextBlock block = output->document()->begin(); block.isValid(); block = block.next()) {
      longest = std::max(longest, block.length());
    }
    EXPECT_LE(longest, 4096 + 2);
    // A partly hidden text is not for typing into.
    EXPECT_TRUE(output->isReadOnly());
  }
  ui().SetBoxText(ctl::编辑框_杀码, short_line);
  EXPECT_FALSE(output->isReadOnly());
  EXPECT_EQ(output->toPlainText().size(), 4096);
  ui().SetBoxText(ctl::编辑框_杀码, "");
  ui().SetBoxText(ctl::编辑框1, "");
}

TEST_F(QtUiTest, TypedTextIsReadBack) {
  auto* name_box = Control<QLineEdit>("编辑框_名称");
  name_box->clear();
  QTest::keyClicks(name_box, QStringLiteral("typed"));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_名称), "typed");
  auto* output = Control<QPlainTextEdit>("编辑框_杀码");
  output->clear();
  output->setFocus();
  QTest::keyClicks(output, QStringLiteral("ab"));
  QTest::keyClick(output, Qt::Key_Return);
  QTest::keyClicks(output, QStringLiteral("c"));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_杀码), "ab\r\nc");
  // A character GBK cannot hold reads back as "?".
  name_box->setText(
      QString::fromUtf8("a\xF0\x9F\x98\x80"
                        "b"));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_名称), "a?b");
  auto* draw_box = Control<QLineEdit>("编辑框1");
  QTest::keyClicks(draw_box, QStringLiteral("9"));
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框1), "");
  ui().SetBoxText(ctl::编辑框_名称, Gbk("Zelkor3D杀码"));
  ui().SetBoxText(ctl::编辑框_杀码, "");
}

TEST_F(QtUiTest, CheckRadioLeavesTheOtherButtonsAlone) {
  ui().CheckRadio(ctl::单选框_十, true);
  ui().CheckRadio(ctl::单选框_百, true);
  EXPECT_TRUE(ui().IsRadioChecked(ctl::单选框_百));
  EXPECT_TRUE(ui().IsRadioChecked(ctl::单选框_十));
  ui().CheckRadio(ctl::单选框_百, false);
  ui().CheckRadio(ctl::单选框_十, false);
  EXPECT_FALSE(ui().IsRadioChecked(ctl::单选框_百));
  EXPECT_FALSE(ui().IsRadioChecked(ctl::单选框_十));
  EXPECT_FALSE(ui().IsRadioChecked(ctl::单选框_个));
  // A user's click is still exclusive, and selects the clicked button even
  // when it was one of several left selected.
  const struct {
    const char* clicked;
    RadioButton expected_only;
  } clicks[] = {
      {"单选框_个", ctl::单选框_个},
      {"单选框_百", ctl::单选框_百},
      {"单选框_十", ctl::单选框_十},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.clicked);
    ui().CheckRadio(ctl::单选框_百, true);
    ui().CheckRadio(ctl::单选框_十, true);
    QTest::mouseClick(window().Control(click.clicked), Qt::LeftButton);
    for (RadioButton radio : {ctl::单选框_百, ctl::单选框_十, ctl::单选框_个}) {
      EXPECT_EQ(ui().IsRadioChecked(radio), radio.name == click.expected_only.name) << radio.name;
    }
  }
  ui().CheckRadio(ctl::单选框_十, false);
  ui().CheckRadio(ctl::单选框_百, true);
}

// The list only grows, so these checks run as one sequence.
// A cell of any length is kept whole, but the list shows only its start: a
// column shows a few characters, and laying out megabytes on every repaint
// would freeze the window.
TEST_F(QtUiTest, ListShowsTheStartOfALongCellAndKeepsItWhole) {
  const ListView list = ctl::超级列表框1;
  std::string double_bytes = "a";
  for (int i = 0; i < 200; ++i) double_bytes += Gbk("期");
  const struct {
    Text cell;
    QString shown;
  } cases[] = {
      {"2024123", QStringLiteral("2024123")},
      {std::string(256, '7'), QString(256, QChar(u'7'))},
      {std::string(1 << 20, '7'), QString(256, QChar(u'7')) + QChar(0x2026)},
      // Cut between characters: "a" and 127 of them make 255 bytes.
      {double_bytes, "a" + QString(127, QChar(0x671F)) + QChar(0x2026)},
  };
  QAbstractItemModel& model = *window().history_list().model();
  for (const auto& c : cases) {
    const int32_t row = ui().AppendRow(list);
    ui().SetCellText(list, row, 0, c.cell);
    EXPECT_EQ(model.data(model.index(row, 0)).toString(), c.shown) << c.cell.size();
    EXPECT_EQ(ui().GetCellText(list, row, 0), c.cell);
  }
}

TEST_F(QtUiTest, ListRowsAppendReadAndSelect) {
  const ListView list = ctl::超级列表框1;
  const int32_t first = ui().RowCount(list);
  EXPECT_EQ(ui().GetCellText(list, first, 0), "");
  EXPECT_EQ(ui().AppendRow(list), first);
  EXPECT_EQ(ui().AppendRow(list), first + 1);
  EXPECT_EQ(ui().RowCount(list), first + 2);
  const std::string long_cell(70000, '7');
  ui().SetCellText(list, first, 0, "2024123");
  ui().SetCellText(list, first, 1, long_cell);
  ui().SetCellText(list, first + 1, 1, Gbk("期"));
  ui().SetCellText(list, first + 2, 0, "no such row");
  ui().SetCellText(list, -1, 0, "no such row");
  ui().SetCellText(list, first, 2, "no such column");
  EXPECT_EQ(ui().RowCount(list), first + 2);
  struct Cell {
    int32_t row;
    int32_t column;
    Text text;
  };
  const Cell cells[] = {
      {first, 0, "2024123"}, {first, 1, long_cell}, {first + 1, 0, ""}, {first + 1, 1, Gbk("期")},
      {first + 2, 0, ""},    {-1, 1, ""},           {first, 2, ""},     {first, -1, ""},
  };
  for (const Cell& cell : cells) {
    EXPECT_EQ(ui().GetCellText(list, cell.row, cell.column), cell.text)
        << cell.row << "," << cell.column;
  }
  HistoryListView& view = window().history_list();
  EXPECT_EQ(ui().SelectedRow(list), -1);
  view.selectionModel()->select(view.model()->index(first + 1, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_EQ(ui().SelectedRow(list), first + 1);
  view.clearSelection();
  EXPECT_EQ(ui().SelectedRow(list), -1);
}

// What a user pastes into a setting box is read back as the box holds it,
// control characters included, up to a U+0000, which ends a text. (A line
// break ends what is pasted: see user_view_test.cc.)
TEST_F(QtUiTest, PastedTextIsReadBackUpToAZeroCharacter) {
  const struct {
    QString pasted;
    Text read;
  } cases[] = {
      {QStringLiteral("a\tb"), "a\tb"},
      {QStringLiteral("a\x01\x1f"
                      "b"),
       "a\x01\x1f"
       "b"},
      {QString::fromUtf8("a\xF0\x9F\x98\x80"
                         "b"),
       "a?b"},
      {QString::fromUtf16(u"ab\0cd", 5), "ab"},
      {QString::fromUtf16(u"\0cd", 3), ""},
  };
  auto* name_box = Control<QLineEdit>("编辑框_名称");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    name_box->clear();
    name_box->setFocus();
    QGuiApplication::clipboard()->setText(c.pasted);
    QTest::keyClick(name_box, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(name_box->text(), c.pasted);
    EXPECT_EQ(ui().GetBoxText(ctl::编辑框_名称), c.read);
  }
}

TEST_F(QtUiTest, ClipboardHoldsTheTextUpToAZeroByte) {
  const struct {
    Text given;
    Text held;
  } cases[] = {
      {Gbk("┊2024002期\r\n准√"), Gbk("┊2024002期\r\n准√")},
      {"", ""},
      {std::string("ab\0cd", 5), "ab"},
  };
  for (const auto& c : cases) {
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    EXPECT_TRUE(ui().SetClipboardText(c.given));
    EXPECT_EQ(FromQString(QGuiApplication::clipboard()->text()), c.held);
  }
}

TEST_F(QtUiTest, VisualStyleFramesControlsAndSwitchesOff) {
  ui().ApplyVisualStyle(1);
  EXPECT_TRUE(qApp->styleSheet().contains("rgb(123, 158, 189)"));
  ui().ApplyVisualStyle(2);
  const QString second = qApp->styleSheet();
  EXPECT_FALSE(second.isEmpty());
  EXPECT_FALSE(second.contains("rgb(123, 158, 189)"));
  ui().ApplyVisualStyle(3);
  EXPECT_NE(qApp->styleSheet(), second);
  for (int off : {0, 4, -1}) {
    ui().ApplyVisualStyle(1);
    ui().ApplyVisualStyle(off);
    EXPECT_TRUE(qApp->styleSheet().isEmpty()) << off;
  }
}

// The themed frame reaches the setting boxes as it reaches Qt's own boxes.
TEST_F(QtUiTest, VisualStyleFramesTheSettingBoxesToo) {
  ui().ApplyVisualStyle(1);
  for (const char* name : {"编辑框1", "编辑框_名称", "编辑框_脚本"}) {
    const QImage image = window().Control(name)->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, image.height() / 2), QColor(123, 158, 189)) << name;
  }
  ui().ApplyVisualStyle(0);
}

// What a message box looked like when the hook answered it.
struct SeenBox {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  Qt::WindowModality modality = Qt::NonModal;
  bool has_parent = true;
};

class MessageBoxTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    SetMessageBoxHook([this](QMessageBox& box) {
      SeenBox seen;
      seen.text = box.text();
      seen.caption = box.windowTitle();
      seen.icon = box.icon();
      seen.buttons = box.standardButtons();
      seen.default_button = box.standardButton(box.defaultButton());
      seen.modality = box.windowModality();
      seen.has_parent = box.parentWidget() != nullptr;
      seen_.push_back(seen);
      return answer_;
    });
  }
  void TearDown() override { SetMessageBoxHook(nullptr); }

  std::vector<SeenBox> seen_;
  QMessageBox::StandardButton answer_ = QMessageBox::Ok;
};

TEST_F(MessageBoxTest, PlainMessageHasDefaultCaptionOneOkButtonAndNoIcon) {
  EXPECT_EQ(ui().ShowMessage(Gbk("请查看你输入是否对错")), 0);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].text, Caption("请查看你输入是否对错"));
  EXPECT_EQ(seen_[0].caption, Caption("信息："));
  EXPECT_EQ(seen_[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen_[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(seen_[0].default_button, QMessageBox::Ok);
  EXPECT_EQ(seen_[0].modality, Qt::ApplicationModal);
  EXPECT_FALSE(seen_[0].has_parent);
}

TEST_F(MessageBoxTest, StyleChoosesButtonsIconAndTheAnswerBecomesACode) {
  using B = QMessageBox;
  struct Case {
    int style;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton answer;
    int code;
  };
  const Case cases[] = {
      {0x0, B::Ok, B::NoIcon, B::Ok, 0},
      {0x1 | 0x10, B::Ok | B::Cancel, B::Critical, B::Cancel, 1},
      {0x2 | 0x20, B::Abort | B::Retry | B::Ignore, B::Question, B::Abort, 2},
      {0x2, B::Abort | B::Retry | B::Ignore, B::NoIcon, B::Retry, 3},
      {0x2 | 0x30, B::Abort | B::Retry | B::Ignore, B::Warning, B::Ignore, 4},
      {0x3 | 0x40, B::Yes | B::No | B::Cancel, B::Information, B::Yes, 5},
      {0x4, B::Yes | B::No, B::NoIcon, B::No, 6},
      {0x5, B::Retry | B::Cancel, B::NoIcon, B::Cancel, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    seen_.clear();
    answer_ = c.answer;
    EXPECT_EQ(ui().ShowMessage("m", c.style, Gbk("标题")), c.code);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].buttons, c.buttons);
    EXPECT_EQ(seen_[0].icon, c.icon);
    EXPECT_EQ(seen_[0].caption, Caption("标题"));
  }
}

TEST_F(MessageBoxTest, MessageLinesBreakAtCrLf) {
  ui().ShowMessage(Gbk("第一行\r\n第二行"));
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].text, Caption("第一行\n第二行"));
}

}  // namespace
}  // namespace zelkor::testing
