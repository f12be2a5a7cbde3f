#pragma once

#include <array>
#include <vector>

#include <QDialog>

#include "compare/results/folder_sums.h"
#include "ui/anchor_layout.h"

class QTreeView;

namespace quintrel::testing {
class CFolderSumsDlgProbe;
}

namespace quintrel {

class FolderSumsModel;

// The window of folder sums: the table of --by-folder for the rows of one run, sorted by a
// click on a column's heading as the main list is (descending first, then alternating).
class CFolderSumsDlg : public QDialog {
  Q_OBJECT

 public:
  CFolderSumsDlg(std::vector<FolderSum> folders, QWidget* parent = nullptr);

  void OnColumnClickList(int column);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class testing::CFolderSumsDlgProbe;

  void SizeColumns();

  std::array<bool, kFolderColumnCount> m_bSortAscending{};
  CAnchorLayout m_anchors;
  QTreeView* m_list = nullptr;
  FolderSumsModel* m_folders = nullptr;
  bool m_columnsSized = false;
};

}  // namespace quintrel
