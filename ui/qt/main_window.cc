#include "ui/qt/main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <array>
#include <limits>
#include <vector>

#include "runtime/runtime_error.h"
#include "ui/initial_texts.h"
#include "ui/qt/clipped_line_edit.h"
#include "ui/qt/compact_text_edit.h"
#include "ui/qt/fonts.h"
#include "ui/qt/footer_text_edit.h"
#include "ui/qt/history_list.h"
#include "ui/qt/message_box.h"
#include "ui/qt/output_text_edit.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/single_line_edit.h"
#include "ui/qt/tab_control.h"

namespace zelkor {
namespace {

// ---------------------------------------------------------------------------
// Layout tables. Positions are relative to the parent's client area: the
// window, a page of 高级选择夹1 (which spans the whole tab control) or a group
// box. Captions are UTF-8; box contents come from the initial page texts.

enum class Kind { kEditBox, kListView, kTabControl, kButton, kGroupBox, kLabel, kRadioButton };

// What a control looks like beyond what its kind gives.
enum class Look {
  kPlain,
  kDrawBox,     // 编辑框1: read-only, centred, big bold red digits
  kOutputBox,   // multi-line, vertical scroll bar, blue on white
  kSettingBox,  // single line, red on white
  kFooterBox,   // multi-line without scroll bars, red on white
  kCaption,     // red static text
  kDisabledCaption,
};

struct Geometry {
  int left;
  int top;
  int width;
  int height;
};

// The initial page text a box starts with (nullptr: none).
using InitialText = Text InitialTexts::*;

constexpr int kPageCount = 3;
using PerPage = std::array<std::string_view, kPageCount>;

struct WindowControl {
  std::string_view name;
  Kind kind;
  Look look;
  Geometry geometry;
};

constexpr std::array kWindowControls{
    WindowControl{"编辑框1", Kind::kEditBox, Look::kDrawBox, {16, 16, 136, 40}},
    WindowControl{"超级列表框1", Kind::kListView, Look::kPlain, {8, 64, 152, 232}},
    WindowControl{"高级选择夹1", Kind::kTabControl, Look::kPlain, {159, 9, 329, 295}},
};
constexpr std::string_view kTabControlName = "高级选择夹1";
constexpr PerPage kPageCaptions{"  杀码  ", "  胆码  ", "  杀跨  "};

struct PageControl {
  PerPage names;
  Kind kind;
  Look look;
  Geometry geometry;
  PerPage captions;
};

constexpr std::array kPageControls{
    PageControl{{"编辑框_杀码", "编辑框_胆码", "编辑框_杀跨"},
                Kind::kEditBox,
                Look::kOutputBox,
                {0, 22, 330, 150},
                {}},
    PageControl{{"按钮_杀码", "按钮_胆码", "按钮_杀跨"},
                Kind::kButton,
                Look::kPlain,
                {210, 180, 80, 32},
                {"预测杀码", "预测胆码", "预测杀跨"}},
    PageControl{{"按钮1", "按钮2", "按钮3"},
                Kind::kButton,
                Look::kPlain,
                {210, 240, 80, 32},
                {"复制", "复制", "复制"}},
    PageControl{
        {"分组框1", "分组框2", "分组框3"}, Kind::kGroupBox, Look::kPlain, {5, 172, 184, 119}, {}},
};
constexpr std::string_view kGroupBoxRole = "分组框1";
// The kill-span page's group box is shorter than the other two.
constexpr int kLastPageGroupHeight = 114;

struct RadioControl {
  std::string_view name;
  std::string_view caption;
  Geometry geometry;
  bool checked;
};

// On page 0, one automatic group.
constexpr std::array kRadioButtons{
    RadioControl{"单选框_百", "百", {201, 214, 32, 24}, true},
    RadioControl{"单选框_十", "十", {237, 214, 32, 24}, false},
    RadioControl{"单选框_个", "个", {273, 214, 32, 24}, false},
};

struct GroupControl {
  PerPage names;
  Kind kind;
  Look look;
  Geometry geometry;
  std::string_view caption;
  InitialText initial;
};

constexpr std::array kGroupControls{
    GroupControl{{"标签8", "标签7", "标签21"},
                 Kind::kLabel,
                 Look::kDisabledCaption,
                 {1, 9, 64, 16},
                 "间隔符定义",
                 nullptr},
    GroupControl{{"编辑框_间隔", "编辑框_间隔1", "编辑框_间隔2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {65, 8, 40, 20},
                 {},
                 &InitialTexts::separator},
    GroupControl{{"标签9", "标签6", "标签16"},
                 Kind::kLabel,
                 Look::kCaption,
                 {10, 26, 72, 16},
                 "定义我得名称",
                 nullptr},
    GroupControl{{"编辑框_名称", "编辑框_名称1", "编辑框_名称2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {6, 41, 93, 20},
                 {},
                 &InitialTexts::name},
    GroupControl{{"标签10", "标签5", "标签15"},
                 Kind::kLabel,
                 Look::kCaption,
                 {3, 61, 61, 16},
                 "胆码左扩符",
                 nullptr},
    GroupControl{{"编辑框_左", "编辑框_左1", "编辑框_左2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {67, 61, 24, 16},
                 {},
                 &InitialTexts::left},
    GroupControl{{"编辑框_右", "编辑框_右1", "编辑框_右2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {92, 61, 24, 16},
                 {},
                 &InitialTexts::right},
    GroupControl{{"标签17", "标签4", "标签14"},
                 Kind::kLabel,
                 Look::kCaption,
                 {117, 61, 60, 16},
                 "胆码右扩符",
                 nullptr},
    GroupControl{{"标签18", "标签1", "标签11"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 8, 31, 16},
                 "正确:",
                 nullptr},
    GroupControl{{"编辑框_准", "编辑框_准1", "编辑框_准2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {137, 8, 40, 16},
                 {},
                 &InitialTexts::correct},
    GroupControl{{"标签19", "标签2", "标签12"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 27, 31, 16},
                 "错误:",
                 nullptr},
    GroupControl{{"编辑框_错", "编辑框_错1", "编辑框_错2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {136, 27, 40, 16},
                 {},
                 &InitialTexts::wrong},
    GroupControl{{"标签20", "标签3", "标签13"},
                 Kind::kLabel,
                 Look::kCaption,
                 {105, 44, 31, 16},
                 "未开:",
                 nullptr},
    GroupControl{{"编辑框_未开", "编辑框_未开1", "编辑框_未开2"},
                 Kind::kEditBox,
                 Look::kSettingBox,
                 {136, 44, 40, 16},
                 {},
                 &InitialTexts::not_drawn},
    GroupControl{{"编辑框_脚本", "编辑框_脚本1", "编辑框_脚本2"},
                 Kind::kEditBox,
                 Look::kFooterBox,
                 {6, 82, 172, 29},
                 {},
                 &InitialTexts::footer},
};

// ---------------------------------------------------------------------------
// Building.

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

void SetColours(QWidget& widget, QPalette::ColorRole text_role, const QColor& text,
                const QColor* base) {
  QPalette palette = widget.palette();
  // Disabled controls keep the platform's grey.
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, text_role, text);
    if (base != nullptr) palette.setColor(group, QPalette::Base, *base);
  }
  if (base != nullptr) palette.setColor(QPalette::Disabled, QPalette::Base, *base);
  widget.setPalette(palette);
}

QPlainTextEdit* MakeOutputBox(QWidget* parent) {
  auto* box = new OutputTextEdit(parent);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setTabChangesFocus(true);
  return box;
}

// The footer note's two lines at a 12-pixel pitch, to fit the 29-pixel box.
constexpr int kFooterLinePitch = 12;

CompactTextEdit* MakeFooterBox(QWidget* parent) {
  auto* box = new FooterTextEdit(kFooterLinePitch, parent);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QTextEdit::WidgetWidth);
  box->setTabChangesFocus(true);
  return box;
}

template <typename Box = QLineEdit>
Box* MakeLineBox(QWidget* parent) {
  auto* box = new Box(parent);
  // No edit box limits its text (Qt would stop at 32767 characters).
  box->setMaxLength(std::numeric_limits<int>::max());
  return box;
}

QWidget* MakeEditBox(QWidget* parent, Look look) {
  const QColor white(Qt::white);
  switch (look) {
    case Look::kDrawBox: {
      // Shows whatever a row's digits cell holds.
      auto* box = MakeLineBox<ClippedLineEdit>(parent);
      box->setReadOnly(true);
      box->setAlignment(Qt::AlignCenter);
      box->setFont(NewSongFont(20, 700));
      SetColours(*box, QPalette::Text, kRed, &white);
      return box;
    }
    case Look::kOutputBox: {
      QPlainTextEdit* box = MakeOutputBox(parent);
      SetColours(*box, QPalette::Text, kBlue, &white);
      return box;
    }
    case Look::kFooterBox: {
      CompactTextEdit* box = MakeFooterBox(parent);
      SetColours(*box, QPalette::Text, kRed, &white);
      return box;
    }
    default: {
      QLineEdit* box = MakeLineBox<SingleLineEdit>(parent);
      SetColours(*box, QPalette::Text, kRed, &white);
      return box;
    }
  }
}

QWidget* MakeControl(Kind kind, Look look, QWidget* parent, const QString& caption) {
  switch (kind) {
    case Kind::kEditBox:
      return MakeEditBox(parent, look);
    case Kind::kListView: {
      auto* list = new HistoryListView(parent);
      const QColor white(Qt::white);
      SetColours(*list, QPalette::Text, Qt::black, &white);
      return list;
    }
    case Kind::kTabControl: {
      auto* tabs = new TabControl(parent);
      tabs->setFocusPolicy(Qt::NoFocus);
      tabs->tab_bar().setFont(SimSunFont(12, 400));
      return tabs;
    }
    case Kind::kButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      return button;
    }
    case Kind::kGroupBox: {
      auto* group = new QGroupBox(caption, parent);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case Kind::kRadioButton:
      return new QRadioButton(caption, parent);
    case Kind::kLabel: {
      auto* label = new QLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setFocusPolicy(Qt::NoFocus);
      SetColours(*label, QPalette::WindowText, kRed, nullptr);
      label->setEnabled(look != Look::kDisabledCaption);
      return label;
    }
  }
  return nullptr;
}

QWidget* Place(Kind kind, Look look, QWidget* parent, std::string_view name,
               const Geometry& geometry, std::string_view caption) {
  QWidget* control = MakeControl(kind, look, parent, Caption(caption));
  control->setObjectName(Caption(name));
  control->setGeometry(geometry.left, geometry.top, geometry.width, geometry.height);
  return control;
}

// A user's click on a radio button selects it and clears every other button
// of its group, even when the logic has left several of them selected (Qt's
// own exclusivity would clear only one, and a click on a button that is
// selected alongside another one would clear the clicked button).
void MakeClicksExclusive(const std::vector<QRadioButton*>& group) {
  for (QRadioButton* clicked : group) {
    QObject::connect(clicked, &QAbstractButton::clicked, clicked, [clicked, group] {
      clicked->setChecked(true);
      for (QRadioButton* other : group) {
        if (other == clicked || !other->isChecked()) continue;
        other->setAutoExclusive(false);
        other->setChecked(false);
        other->setAutoExclusive(true);
      }
    });
  }
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    icon.addFile(QStringLiteral(":/zelkor3d/icons/zelkor3d_%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void MoveToScreenCentre(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // Centre the whole window, frame included, as its outer size gives it.
  constexpr int kOuterWidth = 495;
  constexpr int kOuterHeight = 323;
  const QRect area = screen->availableGeometry();
  window.move(area.left() + (area.width() - kOuterWidth) / 2,
              area.top() + (area.height() - kOuterHeight) / 2);
}

}  // namespace

// Closes the window on Esc wherever the focus is inside it: the key reaches
// this application-wide filter before any control can keep it for itself.
class MainWindow::EscapeCloser : public QObject {
 public:
  explicit EscapeCloser(MainWindow& window) : QObject(&window), window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_) return false;
    window_.close();
    return true;
  }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow() : QWidget(nullptr) {
  setWindowTitle(Caption("Zelkor3D软件"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(DefaultUiFont());
  setWindowIcon(ProgramIcon());

  std::vector<std::pair<std::string_view, InitialText>> initial_texts;

  for (const WindowControl& control : kWindowControls) {
    QWidget* widget = Place(control.kind, control.look, this, control.name, control.geometry, {});
    if (control.kind == Kind::kListView) history_list_ = static_cast<HistoryListView*>(widget);
    if (control.name == kTabControlName) tabs_ = static_cast<TabControl*>(widget);
  }

  std::array<QWidget*, kPageCount> groups{};
  for (int page_index = 0; page_index < kPageCount; ++page_index) {
    const auto p = static_cast<size_t>(page_index);
    QWidget* page = tabs_->AddPage(Caption(kPageCaptions[p]));
    for (const PageControl& control : kPageControls) {
      Geometry geometry = control.geometry;
      const bool is_group = control.names[0] == kGroupBoxRole;
      if (is_group && page_index == kPageCount - 1) geometry.height = kLastPageGroupHeight;
      QWidget* widget =
          Place(control.kind, control.look, page, control.names[p], geometry, control.captions[p]);
      if (is_group) groups[p] = widget;
    }
    for (const GroupControl& control : kGroupControls) {
      Place(control.kind, control.look, groups[p], control.names[p], control.geometry,
            control.caption);
      if (control.initial != nullptr) initial_texts.emplace_back(control.names[p], control.initial);
    }
  }
  std::vector<QRadioButton*> radios;
  for (const RadioControl& radio : kRadioButtons) {
    auto* button =
        static_cast<QRadioButton*>(Place(Kind::kRadioButton, Look::kPlain, tabs_->page(0),
                                         radio.name, radio.geometry, radio.caption));
    button->setChecked(radio.checked);
    radios.push_back(button);
  }
  MakeClicksExclusive(radios);
  tabs_->SetCurrentIndex(0);

  ui_ = std::make_unique<QtUi>(*this);
  const InitialTexts& texts = InitialPageTexts();
  for (const auto& [name, text] : initial_texts) ui_->SetBoxText(EditBox{name}, texts.*text);

  escape_closer_ = new EscapeCloser(*this);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::Control(std::string_view name) const { return ui_->Find(name); }

QAbstractButton* MainWindow::ButtonOf(Button button) const { return ui_->ButtonOf(button); }

std::unique_ptr<MainWindow> CreateMainWindow() {
  auto window = std::make_unique<MainWindow>();
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(window->windowIcon());
  MoveToScreenCentre(*window);
  return window;
}

void InstallQtRuntimeErrorPresenter() {
  SetRuntimeErrorPresenter([](const Text& report) { ShowRuntimeErrorBox(report); });
}

}  // namespace zelkor
