// The window layout, control by control, against the layout tables.
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "ui/layout.h"
#include "ui/page_texts.h"
#include "ui/qt/history_list.h"
#include "ui/qt/tab_control.h"
#include "window_fixture.h"

namespace zelkor::testing {
namespace {

enum class Kind { kLineEdit, kMultiLineEdit, kList, kTabs, kButton, kGroup, kLabel, kRadio };

// Where a control sits: the window, a page of the tab control, or a group box.
struct Parent {
  int page = -1;      // -1: not a page
  std::string group;  // "": not a group box
};
const Parent kOnWindow{};
Parent Page(int index) { return {index, {}}; }
Parent Group(const std::string& name) { return {-1, name}; }

struct Expected {
  std::string name;
  Kind kind;
  Parent parent;
  QRect geometry;
  std::string text;  // GBK bytes of the caption or initial content
};

// The footer note: two lines, CR LF between "!" and the three spaces.
std::string FooterBytes() {
  return Gbk("注:Zelkor祝大家天天中奖,玩彩要注意\"心\"\"气\"\"神\"!") + "\r\n   " +
         ProductWebsite();
}

std::vector<Expected> ExpectedLayout() {
  std::vector<Expected> rows{
      {"编辑框1", Kind::kLineEdit, kOnWindow, {16, 16, 136, 40}, ""},
      {"超级列表框1", Kind::kList, kOnWindow, {8, 64, 152, 232}, ""},
      {"高级选择夹1", Kind::kTabs, kOnWindow, {159, 9, 329, 295}, ""},
      {"单选框_百", Kind::kRadio, Page(0), {201, 214, 32, 24}, Gbk("百")},
      {"单选框_十", Kind::kRadio, Page(0), {237, 214, 32, 24}, Gbk("十")},
      {"单选框_个", Kind::kRadio, Page(0), {273, 214, 32, 24}, Gbk("个")},
  };
  const std::array<std::array<std::string, 4>, 3> page_names{{
      {"编辑框_杀码", "按钮_杀码", "按钮1", "分组框1"},
      {"编辑框_胆码", "按钮_胆码", "按钮2", "分组框2"},
      {"编辑框_杀跨", "按钮_杀跨", "按钮3", "分组框3"},
  }};
  const std::array<std::string, 3> run_captions{"预测杀码", "预测胆码", "预测杀跨"};
  // Per page: the role's suffix-free layout name on each page.
  struct GroupRow {
    std::array<std::string, 3> names;
    Kind kind;
    QRect geometry;
    std::string text;
  };
  const std::vector<GroupRow> group_rows{
      {{"标签8", "标签7", "标签21"}, Kind::kLabel, {1, 9, 64, 16}, Gbk("间隔符定义")},
      {{"编辑框_间隔", "编辑框_间隔1", "编辑框_间隔2"},
       Kind::kLineEdit,
       {65, 8, 40, 20},
       "\xA9\xAE"},
      {{"标签9", "标签6", "标签16"}, Kind::kLabel, {10, 26, 72, 15}, Gbk("定义我得名称")},
      {{"编辑框_名称", "编辑框_名称1", "编辑框_名称2"},
       Kind::kLineEdit,
       {6, 41, 93, 20},
       "Zelkor3D\xC9\xB1\xC2\xEB"},
      {{"标签10", "标签5", "标签15"}, Kind::kLabel, {3, 61, 61, 16}, Gbk("胆码左扩符")},
      {{"编辑框_左", "编辑框_左1", "编辑框_左2"}, Kind::kLineEdit, {67, 61, 24, 16}, "\xA1\xBE"},
      {{"编辑框_右", "编辑框_右1", "编辑框_右2"}, Kind::kLineEdit, {92, 61, 24, 16}, "\xA1\xBF"},
      {{"标签17", "标签4", "标签14"}, Kind::kLabel, {117, 61, 60, 16}, Gbk("胆码右扩符")},
      {{"标签18", "标签1", "标签11"}, Kind::kLabel, {105, 8, 31, 16}, Gbk("正确:")},
      {{"编辑框_准", "编辑框_准1", "编辑框_准2"},
       Kind::kLineEdit,
       {137, 8, 40, 16},
       "\xD7\xBC\xA1\xCC"},
      {{"标签19", "标签2", "标签12"}, Kind::kLabel, {105, 27, 31, 16}, Gbk("错误:")},
      {{"编辑框_错", "编辑框_错1", "编辑框_错2"},
       Kind::kLineEdit,
       {136, 27, 40, 16},
       "\xB4\xED\xA3\xD8"},
      {{"标签20", "标签3", "标签13"}, Kind::kLabel, {105, 44, 31, 16}, Gbk("未开:")},
      {{"编辑框_未开", "编辑框_未开1", "编辑框_未开2"},
       Kind::kLineEdit,
       {136, 44, 40, 16},
       "\xCE\xB4\xBF\xAA"},
      {{"编辑框_脚本", "编辑框_脚本1", "编辑框_脚本2"},
       Kind::kMultiLineEdit,
       {6, 82, 172, 29},
       FooterBytes()},
  };
  for (int page = 0; page < 3; ++page) {
    const auto p = static_cast<size_t>(page);
    const auto& names = page_names[p];
    rows.push_back({names[0], Kind::kMultiLineEdit, Page(page), {0, 22, 330, 150}, ""});
    rows.push_back({names[1], Kind::kButton, Page(page), {210, 180, 80, 32}, Gbk(run_captions[p])});
    rows.push_back({names[2], Kind::kButton, Page(page), {210, 240, 80, 32}, Gbk("复制")});
    rows.push_back({names[3], Kind::kGroup, Page(page), {5, 172, 184, page == 2 ? 114 : 119}, ""});
    for (const GroupRow& row : group_rows) {
      rows.push_back({row.names[p], row.kind, Group(names[3]), row.geometry, row.text});
    }
  }
  return rows;
}

bool HasKind(QWidget* widget, Kind kind) {
  switch (kind) {
    case Kind::kLineEdit:
      return qobject_cast<QLineEdit*>(widget) != nullptr;
    case Kind::kMultiLineEdit:
      return qobject_cast<QPlainTextEdit*>(widget) != nullptr ||
             qobject_cast<QTextEdit*>(widget) != nullptr;
    case Kind::kList:
      return dynamic_cast<HistoryListView*>(widget) != nullptr;
    case Kind::kTabs:
      return dynamic_cast<TabControl*>(widget) != nullptr;
    case Kind::kButton:
      return qobject_cast<QPushButton*>(widget) != nullptr;
    case Kind::kGroup:
      return qobject_cast<QGroupBox*>(widget) != nullptr;
    case Kind::kLabel:
      return qobject_cast<QLabel*>(widget) != nullptr;
    case Kind::kRadio:
      return qobject_cast<QRadioButton*>(widget) != nullptr;
  }
  return false;
}

// The caption or content a control shows, as GBK.
std::string ShownText(QtUi& ui, QWidget* widget, Kind kind, const std::string& name) {
  switch (kind) {
    case Kind::kLineEdit:
    case Kind::kMultiLineEdit:
      return ui.GetBoxText(EditBox{name});
    case Kind::kButton:
    case Kind::kRadio:
      return FromQString(qobject_cast<QAbstractButton*>(widget)->text());
    case Kind::kLabel:
      return FromQString(qobject_cast<QLabel*>(widget)->text());
    case Kind::kGroup:
      return FromQString(qobject_cast<QGroupBox*>(widget)->title());
    default:
      return "";
  }
}

using LayoutTest = WindowTest;

TEST_F(LayoutTest, EveryControlHasItsKindParentGeometryAndInitialText) {
  const std::vector<Expected> layout = ExpectedLayout();
  ASSERT_EQ(layout.size(), 6u + 3u * 19u);
  for (const Expected& row : layout) {
    SCOPED_TRACE(row.name);
    QWidget* widget = window().Control(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(HasKind(widget, row.kind));
    EXPECT_EQ(widget->geometry(), row.geometry);
    QWidget* parent = widget->parentWidget();
    if (row.parent.page >= 0) {
      EXPECT_EQ(parent, window().tabs().page(row.parent.page));
    } else if (!row.parent.group.empty()) {
      ASSERT_NE(parent, nullptr);
      EXPECT_EQ(parent->objectName(), Caption(row.parent.group));
    } else {
      EXPECT_EQ(parent, &window());
    }
    EXPECT_EQ(ShownText(ui(), widget, row.kind, row.name), row.text);
    // Only the three "间隔符定义" captions are disabled.
    EXPECT_EQ(widget->isEnabled(), row.text != Gbk("间隔符定义"));
    const bool takes_focus =
        row.kind != Kind::kLabel && row.kind != Kind::kGroup && row.kind != Kind::kTabs;
    EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, takes_focus);
  }
}

// The table both toolkits build from (ui/layout.h) names the same controls,
// parents, geometry and texts as the expectations above, and the Qt window
// shows each of them.
TEST_F(LayoutTest, SharedLayoutTableMatchesExpectationsAndWindow) {
  const std::vector<Expected> expected = ExpectedLayout();
  ASSERT_EQ(layout::AllControls().size(), expected.size());
  const PageTexts& texts = InitialPageTexts();
  for (const layout::PlacedControl& control : layout::AllControls()) {
    SCOPED_TRACE(std::string(control.name));
    auto row = std::find_if(expected.begin(), expected.end(),
                            [&](const Expected& e) { return e.name == control.name; });
    ASSERT_NE(row, expected.end());
    const layout::Geometry& g = control.geometry;
    EXPECT_EQ(QRect(g.left, g.top, g.width, g.height), row->geometry);
    EXPECT_EQ(control.page, row->parent.group.empty() ? row->parent.page : control.page);
    EXPECT_EQ(std::string(control.group), row->parent.group);
    const Text text = control.initial != nullptr ? texts.*control.initial : Gbk(control.caption);
    EXPECT_EQ(text, row->text);
    QWidget* widget = window().Control(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), row->geometry);
  }
}

// Every text fits its control whole in the control's own font (the CJK UI
// face): captions and single-line box texts in width and line height, the
// list's column titles and a seven-digit issue number in their columns; no
// label reaches into a control below it.
TEST_F(LayoutTest, TextsFitTheirControls) {
  for (const Expected& row : ExpectedLayout()) {
    SCOPED_TRACE(row.name);
    QWidget* widget = window().Control(row.name);
    const QFontMetrics metrics(widget->font());
    if (row.kind == Kind::kLabel || row.kind == Kind::kButton) {
      EXPECT_LE(metrics.horizontalAdvance(ToQString(row.text)), widget->width());
      EXPECT_LE(metrics.height(), widget->height());
    }
    if (row.kind == Kind::kLabel) {
      for (QWidget* other :
           widget->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect below = other->geometry();
        if (below.top() <= widget->y() || below.left() > widget->geometry().right() ||
            below.right() < widget->x()) {
          continue;
        }
        EXPECT_LE(widget->geometry().bottom(), below.top() - 1)
            << other->objectName().toStdString();
      }
    }
    if (auto* box = qobject_cast<QLineEdit*>(widget); box != nullptr) {
      // Where QLineEdit draws its line: within the frame, the text margins
      // and its own 2 and 1 pixels.
      QStyleOptionFrame panel;
      panel.initFrom(box);
      panel.rect = box->rect();
      panel.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, box);
      const QRect room = box->style()
                             ->subElementRect(QStyle::SE_LineEditContents, &panel, box)
                             .marginsRemoved(box->textMargins())
                             .adjusted(2, 1, -2, -1);
      EXPECT_LE(metrics.horizontalAdvance(box->text()), room.width()) << box->text().toStdString();
      EXPECT_LE(metrics.height(), room.height()) << box->text().toStdString();
    }
  }
  HistoryListView& list = window().history_list();
  const QFontMetrics cells(list.font());
  const QFontMetrics titles(list.header()->font());
  // A cell's text and a title keep a margin of the style's focus frame on
  // each side.
  const int margin =
      2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
  EXPECT_LE(cells.horizontalAdvance(QStringLiteral("2026224")) + margin,
            list.header()->sectionSize(0));
  for (int column = 0; column < 2; ++column) {
    const QString title = list.model()->headerData(column, Qt::Horizontal).toString();
    EXPECT_LE(titles.horizontalAdvance(title) + margin, list.header()->sectionSize(column))
        << title.toStdString();
  }
}

TEST_F(LayoutTest, WindowIsFixedTitledAndHasNoMaximiseButton) {
  EXPECT_EQ(window().windowTitle(), Caption("Zelkor3D软件"));
  EXPECT_EQ(window().size(), QSize(489, 298));
  EXPECT_EQ(window().minimumSize(), window().maximumSize());
  const Qt::WindowFlags flags = window().windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));
  // Centred on the screen, frame included (the outer size is 495 x 323).
  const QRect screen = window().screen()->availableGeometry();
  EXPECT_EQ(window().pos(), QPoint(screen.left() + (screen.width() - 495) / 2,
                                   screen.top() + (screen.height() - 323) / 2));
  const QList<QSize> sizes = window().windowIcon().availableSizes();
  for (int side : {16, 32, 48, 64}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
  EXPECT_TRUE(window().windowIcon().pixmap(32).toImage().hasAlphaChannel());
}

TEST_F(LayoutTest, TabsShowPageZeroFirstWithSpacedCaptions) {
  TabControl& tabs = window().tabs();
  ASSERT_EQ(tabs.count(), 3);
  EXPECT_EQ(tabs.tab_bar().tabText(0), Caption("  杀码  "));
  EXPECT_EQ(tabs.tab_bar().tabText(1), Caption("  胆码  "));
  EXPECT_EQ(tabs.tab_bar().tabText(2), Caption("  杀跨  "));
  EXPECT_EQ(tabs.tab_bar().font().pixelSize(), 12);
  EXPECT_EQ(tabs.CurrentIndex(), 0);
  EXPECT_TRUE(tabs.page(0)->isVisible());
  EXPECT_FALSE(tabs.page(1)->isVisible());
  EXPECT_TRUE(ui().IsRadioChecked(ctl::单选框_百));
  EXPECT_FALSE(ui().IsRadioChecked(ctl::单选框_十));
  EXPECT_FALSE(ui().IsRadioChecked(ctl::单选框_个));
}

TEST_F(LayoutTest, SwitchingPagesKeepsEditedTexts) {
  ui().SetBoxText(ctl::编辑框_名称1, "edited");
  window().tabs().SetCurrentIndex(1);
  EXPECT_TRUE(window().tabs().page(1)->isVisible());
  EXPECT_FALSE(window().tabs().page(0)->isVisible());
  window().tabs().SetCurrentIndex(2);
  window().tabs().SetCurrentIndex(0);
  EXPECT_EQ(ui().GetBoxText(ctl::编辑框_名称1), "edited");
  ui().SetBoxText(ctl::编辑框_名称1, Gbk("Zelkor3D杀码"));
}

TEST_F(LayoutTest, DrawBoxIsReadOnlyBigBoldRedAndCentred) {
  auto* box = Control<QLineEdit>("编辑框1");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isReadOnly());
  EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(box->font().pixelSize(), 20);
  EXPECT_EQ(box->font().weight(), QFont::Bold);
  EXPECT_EQ(box->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 255));
  // A Song face, or the CJK serif standing in for it.
  const QString family = QFontInfo(box->font()).family();
  EXPECT_TRUE(family == Caption("新宋体") || family == "NSimSun" ||
              family.startsWith("Noto Serif CJK"))
      << family.toStdString();
}

TEST_F(LayoutTest, BoxColoursScrollBarsAndLimits) {
  struct Case {
    std::string_view name;
    QColor text;
    bool multi_line;
    Qt::ScrollBarPolicy vertical;
  };
  const Case cases[] = {
      {"编辑框_杀码", QColor(0, 0, 255), true, Qt::ScrollBarAlwaysOn},
      {"编辑框_胆码", QColor(0, 0, 255), true, Qt::ScrollBarAlwaysOn},
      {"编辑框_杀跨", QColor(0, 0, 255), true, Qt::ScrollBarAlwaysOn},
      {"编辑框_脚本2", QColor(255, 0, 0), true, Qt::ScrollBarAlwaysOff},
      {"编辑框_间隔1", QColor(255, 0, 0), false, Qt::ScrollBarAlwaysOff},
      {"编辑框_未开2", QColor(255, 0, 0), false, Qt::ScrollBarAlwaysOff},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* widget = window().Control(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->palette().color(QPalette::Text), c.text);
    EXPECT_EQ(widget->palette().color(QPalette::Base), QColor(Qt::white));
    // A setting box's font is smaller where the face's line would not fit.
    EXPECT_LE(widget->font().pixelSize(), 12);
    EXPECT_GE(widget->font().pixelSize(), c.multi_line ? 12 : 7);
    if (c.multi_line) {
      auto* box = qobject_cast<QAbstractScrollArea*>(widget);
      ASSERT_NE(box, nullptr);
      EXPECT_FALSE(box->property("readOnly").toBool());
      EXPECT_EQ(box->verticalScrollBarPolicy(), c.vertical);
      EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    } else {
      auto* box = qobject_cast<QLineEdit*>(widget);
      ASSERT_NE(box, nullptr);
      EXPECT_FALSE(box->isReadOnly());
      EXPECT_EQ(box->maxLength(), std::numeric_limits<int>::max());
    }
  }
  auto* caption = Control<QLabel>("标签9");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(LayoutTest, HistoryListHasTwoFixedColumnsAndSingleRowSelection) {
  HistoryListView& list = window().history_list();
  const QAbstractItemModel* model = list.model();
  ASSERT_EQ(model->columnCount(), 2);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), Caption(" 期号"));
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), Caption("开奖号码"));
  EXPECT_EQ(list.header()->sectionSize(0), 60);
  EXPECT_EQ(list.header()->sectionSize(1), 70);
  EXPECT_FALSE(list.header()->isHidden());
  EXPECT_TRUE(list.header()->sectionsClickable());
  EXPECT_FALSE(list.isSortingEnabled());
  EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
}

}  // namespace
}  // namespace zelkor::testing
