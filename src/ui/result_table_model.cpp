#include "ui/result_table_model.h"

#include <algorithm>
#include <numeric>
#include <string_view>

#include "compare/listing/name_order.h"
#include "compare/results/row_order.h"
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
  m_givenPositions.resize(m_rows.size());
  std::iota(m_givenPositions.begin(), m_givenPositions.end(), std::size_t{0});
  endResetModel();
}

std::vector<ResultRow> ResultTableModel::RowsInGivenOrder() const {
  std::vector<ResultRow> rows(m_rows.size());
  for (std::size_t i = 0; i < m_rows.size(); ++i) rows[m_givenPositions[i]] = m_rows[i];
  return rows;
}

namespace {

// The order of `rows` by one column, as CompareRows gives it. Text columns compare their
// sort keys, made once per row rather than once per comparison: a tree's tens of thousands
// of names would otherwise make millions of keys.
std::vector<int> SortedOrder(const std::vector<ResultRow>& rows, int column, bool ascending) {
  std::vector<int> order(rows.size());
  std::iota(order.begin(), order.end(), 0);
  const auto sortBy = [&](auto compare) {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const int r = compare(a, b);
      return ascending ? r < 0 : r > 0;
    });
  };
  if (column != kColumnMarker && column != kColumnName) {
    sortBy([&](int a, int b) { return CompareRows(rows[a], rows[b], column); });
    return order;
  }
  const auto text = [&](std::size_t i) -> std::string_view {
    return column == kColumnName ? std::string_view(rows[i].name) : RowMarker(rows[i].flags);
  };
  std::vector<NameSortKey> keys;
  keys.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) keys.push_back(MakeNameSortKey(text(i)));
  // As CompareCatalogueNames: by key, then by bytes.
  sortBy([&](int a, int b) {
    if (keys[a] != keys[b]) return keys[a] < keys[b] ? -1 : 1;
    const int bytes = text(a).compare(text(b));
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
  });
  return order;
}

}  // namespace

void ResultTableModel::SortRows(int column, bool ascending) {
  Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<int> order = SortedOrder(m_rows, column, ascending);
  std::vector<int> newPosition(order.size());
  std::vector<ResultRow> sorted;
  std::vector<std::size_t> givenPositions;
  sorted.reserve(m_rows.size());
  givenPositions.reserve(m_rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newPosition[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(m_rows[order[i]]));
    givenPositions.push_back(m_givenPositions[order[i]]);
  }
  m_rows = std::move(sorted);
  m_givenPositions = std::move(givenPositions);
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
