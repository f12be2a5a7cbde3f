#include "ui/result_table_model.h"

#include <algorithm>
#include <numeric>

#include "compare/row_order.h"
#include "ui/ui_texts.h"

namespace quintrel {

int ResultTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString ResultTableModel::CellText(const ResultRow& row, int column) {
  switch (column) {
    case kColumnMarker:
      return QString::fromUtf8(RowMarker(row.flags));
    case kColumnName:
      return QString::fromStdString(row.name);
    case kColumnAdded:
      return QString::number(row.result.added);
    case kColumnDeleted:
      return QString::number(row.result.deleted);
    case kColumnLoc:
      return QString::number(row.result.loc);
    default:
      return {};
  }
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return CellText(m_rows[index.row()], index.column());
  if (role == Qt::TextAlignmentRole) return headerData(index.column(), Qt::Horizontal, role);
  return {};
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole) {
    const Qt::Alignment horizontal = section >= kColumnAdded ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  static const QStringView kHeadings[kColumnCount] = {u"", kHeadingName, kHeadingAdded,
                                                      kHeadingDeleted, kHeadingLoc};
  return section >= 0 && section < kColumnCount ? kHeadings[section].toString() : QString();
}

void ResultTableModel::SetRows(std::vector<ResultRow> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

void ResultTableModel::SortRows(int column, bool ascending) {
  Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(m_rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int r = CompareRows(m_rows[a], m_rows[b], column);
    return ascending ? r < 0 : r > 0;
  });
  std::vector<int> newPosition(order.size());
  std::vector<ResultRow> sorted;
  sorted.reserve(m_rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newPosition[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(m_rows[order[i]]));
  }
  m_rows = std::move(sorted);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.append(this->index(newPosition[index.row()], index.column()));
  }
  changePersistentIndexList(before, after);
  Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quintrel
