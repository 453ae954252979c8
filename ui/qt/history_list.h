// The draw history list: a two-column report view over rows kept as GBK texts
// in a vector, so that a hundred thousand rows neither stall the window nor
// cost a conversion when the analyses read them back.
#pragma once

#include <QAbstractTableModel>
#include <QTreeView>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zelkor {

using Text = std::string;

class HistoryModel : public QAbstractTableModel {
 public:
  static constexpr int kColumnCount = 2;

  explicit HistoryModel(QObject* parent = nullptr);

  // Adds an empty row after the last; returns its index.
  int32_t AppendRow();
  [[nodiscard]] int32_t RowCount() const { return static_cast<int32_t>(rows_.size()); }
  // Changes nothing when row or column names no cell.
  void SetCell(int32_t row, int32_t column, const Text& text);
  // "" when row or column names no cell.
  [[nodiscard]] const Text& Cell(int32_t row, int32_t column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  [[nodiscard]] bool IsCell(int32_t row, int32_t column) const;

  std::vector<std::array<Text, kColumnCount>> rows_;
};

// The list view: whole-row single selection, no sorting, no editing. A left
// click anywhere in the rows area, on a row or below the last one, is
// reported after the view has updated its selection; a click on empty space
// clears the selection.
class HistoryListView : public QTreeView {
 public:
  explicit HistoryListView(QWidget* parent = nullptr);

  HistoryModel& history() { return *model_; }
  // Called after every left click; replaces the previous handler.
  void SetClickHandler(std::function<void()> handler) { click_handler_ = std::move(handler); }
  // The first selected row from the top, or -1.
  [[nodiscard]] int32_t SelectedRow() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  HistoryModel* model_;
  std::function<void()> click_handler_;
  bool left_press_pending_ = false;
  bool in_double_click_ = false;
};

}  // namespace zelkor
