#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "compare/results/folder_sums.h"

namespace quintrel {

// The table of folder sums: one line per folder in FolderSumColumn order, as the command
// line's --by-folder table shows it.
class FolderSumsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit FolderSumsModel(std::vector<FolderSum> folders, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Sorts by one column (CompareFolderSums; descending when `ascending` is false); folders
  // that compare equal keep their order.
  void SortFolders(int column, bool ascending);

  const std::vector<FolderSum>& Folders() const { return m_folders; }

 private:
  std::vector<FolderSum> m_folders;
};

}  // namespace quintrel
