#include "ui/folder_sums_model.h"

#include <algorithm>
#include <numeric>

#include "ui/ui_texts.h"

namespace quintrel {

FolderSumsModel::FolderSumsModel(std::vector<FolderSum> folders, QObject* parent)
    : QAbstractTableModel(parent), m_folders(std::move(folders)) {}

int FolderSumsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_folders.size());
}

int FolderSumsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kFolderColumnCount;
}

QVariant FolderSumsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kFolderColumnCount) {
    return {};
  }
  if (role == Qt::TextAlignmentRole) return headerData(index.column(), Qt::Horizontal, role);
  if (role != Qt::DisplayRole) return {};
  const RowTexts texts = FolderSumTexts(m_folders[index.row()]);
  return QString::fromStdString(texts[index.column()]);
}

QVariant FolderSumsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kFolderColumnCount) return {};
  if (role == Qt::TextAlignmentRole) {
    // As the command line lays the table out: the texts left, the sums right.
    const Qt::Alignment horizontal = section >= kFolderColumnAdded ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  static const QStringView kHeadings[kFolderColumnCount] = {kHeadingFolder, u"", kHeadingAdded,
                                                            kHeadingDeleted, kHeadingLoc};
  return kHeadings[section].toString();
}

void FolderSumsModel::SortFolders(int column, bool ascending) {
  Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(m_folders.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int compared = CompareFolderSums(m_folders[a], m_folders[b], column);
    return ascending ? compared < 0 : compared > 0;
  });
  std::vector<FolderSum> sorted;
  sorted.reserve(m_folders.size());
  std::vector<int> newPosition(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newPosition[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(m_folders[order[i]]));
  }
  m_folders = std::move(sorted);
  // The selection follows its folders.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  for (const QModelIndex& index : before) {
    after.append(this->index(newPosition[index.row()], index.column()));
  }
  changePersistentIndexList(before, after);
  Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quintrel
