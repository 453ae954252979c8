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
#include <map>
#include <vector>

#include "runtime/runtime_error.h"
#include "ui/layout.h"
#include "ui/page_texts.h"
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

// The layout is shared with every toolkit (ui/layout.h).
using layout::Geometry;
using layout::InitialText;
using layout::Kind;
using layout::Look;
using layout::PlacedControl;

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
  if (kind == Kind::kLabel || look == Look::kSettingBox) {
    control->setFont(FontWithin(DefaultUiFont(), LineRoom(*control)));
  }
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
  using layout::kOuterHeight;
  using layout::kOuterWidth;
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
  setWindowTitle(Caption(layout::kWindowTitle));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(DefaultUiFont());
  setWindowIcon(ProgramIcon());

  std::vector<std::pair<std::string_view, InitialText>> initial_texts;
  std::map<std::string_view, QWidget*> groups;
  std::vector<QRadioButton*> radios;
  for (const PlacedControl& control : layout::AllControls()) {
    QWidget* parent = this;
    if (!control.group.empty()) {
      parent = groups.at(control.group);
    } else if (control.page >= 0) {
      // A page's tab comes with its first control.
      while (tabs_->count() <= control.page) {
        tabs_->AddPage(Caption(layout::kPages[static_cast<size_t>(tabs_->count())].caption));
      }
      parent = tabs_->page(control.page);
    }
    QWidget* widget =
        Place(control.kind, control.look, parent, control.name, control.geometry, control.caption);
    switch (control.kind) {
      case Kind::kListView:
        history_list_ = static_cast<HistoryListView*>(widget);
        break;
      case Kind::kTabControl:
        tabs_ = static_cast<TabControl*>(widget);
        break;
      case Kind::kGroupBox:
        groups.emplace(control.name, widget);
        break;
      case Kind::kRadioButton:
        radios.push_back(static_cast<QRadioButton*>(widget));
        radios.back()->setChecked(control.checked);
        break;
      default:
        break;
    }
    if (control.initial != nullptr) initial_texts.emplace_back(control.name, control.initial);
  }
  MakeClicksExclusive(radios);
  tabs_->SetCurrentIndex(0);

  ui_ = std::make_unique<QtUi>(*this);
  const PageTexts& texts = InitialPageTexts();
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
