#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "compare/results/totals.h"

namespace quintrel {

// The rows of the result list in display order: marker, file name, added, deleted, LOC.
class ResultTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces all rows in one model reset.
  void SetRows(std::vector<ResultRow> rows);
  const std::vector<ResultRow>& Rows() const { return m_rows; }
  // The rows in the order SetRows gave them, however the list is sorted now.
  std::vector<ResultRow> RowsInGivenOrder() const;

  // Sorts by one column (CompareRows; descending when `ascending` is false). Persistent
  // indexes, and so the selection, follow their rows.
  void SortRows(int column, bool ascending);

  // The text of a cell as the list shows it.
  static QString CellText(const ResultRow& row, int column);

 private:
  std::vector<ResultRow> m_rows;
  std::vector<std::size_t> m_givenPositions;  // each row's place in the order SetRows gave
};

}  // namespace quintrel
