#include "ui/qt/tab_control.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace zelkor {
namespace {

// Tabs exactly as tall as the strip, whatever the font's line height: the
// first row of page controls starts right below it.
class StripTabBar : public QTabBar {
 public:
  explicit StripTabBar(QWidget* parent) : QTabBar(parent) {}

 protected:
  QSize tabSizeHint(int index) const override {
    return {QTabBar::tabSizeHint(index).width(), TabControl::kStripHeight};
  }
  QSize minimumTabSizeHint(int index) const override {
    return {QTabBar::minimumTabSizeHint(index).width(), TabControl::kStripHeight};
  }
};

}  // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), tab_bar_(new StripTabBar(this)) {
  tab_bar_->setFocusPolicy(Qt::NoFocus);
  tab_bar_->setDrawBase(false);
  tab_bar_->setExpanding(false);
  tab_bar_->setUsesScrollButtons(false);
  QObject::connect(tab_bar_, &QTabBar::currentChanged, this,
                   [this](int index) { ShowPage(index); });
}

QWidget* TabControl::AddPage(const QString& caption) {
  auto* page = new QWidget(this);
  page->setGeometry(rect());
  pages_.push_back(page);
  tab_bar_->addTab(caption);
  tab_bar_->raise();
  ShowPage(tab_bar_->currentIndex());
  return page;
}

QWidget* TabControl::page(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return pages_[static_cast<size_t>(index)];
}

void TabControl::ShowPage(int index) {
  for (int i = 0; i < count(); ++i) pages_[static_cast<size_t>(i)]->setVisible(i == index);
}

void TabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (QWidget* page : pages_) page->setGeometry(rect());
  tab_bar_->setGeometry(2, 0, width() - 4, kStripHeight);
}

void TabControl::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = rect().adjusted(0, kStripHeight - 1, 0, 0);
  frame.shape = QTabBar::RoundedNorth;
  frame.tabBarSize = tab_bar_->sizeHint();
  frame.tabBarRect = tab_bar_->geometry();
  frame.selectedTabRect = tab_bar_->tabRect(tab_bar_->currentIndex()).translated(tab_bar_->pos());
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace zelkor
