// A tab control whose pages cover the whole control, tab strip included, so
// that the controls on a page are placed relative to the control's own client
// area as the layout gives them; the strip stays on top of the pages.
#pragma once

#include <QTabBar>
#include <QWidget>
#include <vector>

namespace zelkor {

class TabControl : public QWidget {
 public:
  // Height of the tab strip; the page area's frame starts below it.
  static constexpr int kStripHeight = 21;

  explicit TabControl(QWidget* parent = nullptr);

  // Adds a page with `caption`; the page is as large as the control.
  QWidget* AddPage(const QString& caption);
  [[nodiscard]] int count() const { return static_cast<int>(pages_.size()); }
  [[nodiscard]] QWidget* page(int index) const;
  [[nodiscard]] int CurrentIndex() const { return tab_bar_->currentIndex(); }
  void SetCurrentIndex(int index) { tab_bar_->setCurrentIndex(index); }
  [[nodiscard]] QTabBar& tab_bar() const { return *tab_bar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowPage(int index);

  QTabBar* tab_bar_;
  std::vector<QWidget*> pages_;
};

}  // namespace zelkor
