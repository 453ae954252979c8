#include "ui/qt/history_list.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "ui/layout.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/shown_text.h"

namespace zelkor {
namespace {

static_assert(layout::kListColumns.size() == HistoryModel::kColumnCount);

const Text& EmptyText() {
  static const Text empty;
  return empty;
}

// Far more than a column shows. A cell can be megabytes long when the
// service leaves a row element open, and the view lays out and elides the
// whole of what it is given on every repaint: seconds per megabyte. The
// cell itself is kept whole for the operations.
constexpr size_t kShownCellBytes = 256;

}  // namespace

HistoryModel::HistoryModel(QObject* parent) : QAbstractTableModel(parent) {}

int32_t HistoryModel::AppendRow() {
  const auto row = static_cast<int32_t>(rows_.size());
  beginInsertRows(QModelIndex(), row, row);
  rows_.emplace_back();
  endInsertRows();
  return row;
}

bool HistoryModel::IsCell(int32_t row, int32_t column) const {
  return row >= 0 && row < RowCount() && column >= 0 && column < kColumnCount;
}

void HistoryModel::SetCell(int32_t row, int32_t column, const Text& text) {
  if (!IsCell(row, column)) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

const Text& HistoryModel::Cell(int32_t row, int32_t column) const {
  if (!IsCell(row, column)) return EmptyText();
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : RowCount();
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return ShownPrefix(Cell(index.row(), index.column()), kShownCellBytes);
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
      return Caption(" 期号");
    case 1:
      return Caption("开奖号码");
    default:
      return {};
  }
}

HistoryListView::HistoryListView(QWidget* parent)
    : QTreeView(parent), model_(new HistoryModel(this)) {
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  QHeaderView* columns = header();
  columns->setVisible(true);
  columns->setSectionsClickable(true);
  columns->setSortIndicatorShown(false);
  columns->setHighlightSections(false);
  columns->setStretchLastSection(false);
  columns->setSectionsMovable(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < HistoryModel::kColumnCount; ++column) {
    columns->resizeSection(column, layout::kListColumns[static_cast<size_t>(column)].width);
  }
}

int32_t HistoryListView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  int32_t first = -1;
  for (const QModelIndex& row : rows) {
    if (first < 0 || row.row() < first) first = row.row();
  }
  return first;
}

void HistoryListView::mousePressEvent(QMouseEvent* event) {
  QTreeView::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // A click below the rows leaves nothing selected, as a report list does.
  if (!indexAt(event->position().toPoint()).isValid()) selectionModel()->clearSelection();
  // The second press of a double click is not a click of its own.
  left_press_pending_ = !in_double_click_;
}

void HistoryListView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !left_press_pending_) return;
  left_press_pending_ = false;
  if (click_handler_) click_handler_();
}

void HistoryListView::mouseDoubleClickEvent(QMouseEvent* event) {
  in_double_click_ = true;
  QTreeView::mouseDoubleClickEvent(event);
  in_double_click_ = false;
  left_press_pending_ = false;
}

}  // namespace zelkor
