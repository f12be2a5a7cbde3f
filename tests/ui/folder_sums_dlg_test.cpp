#include "ui/folder_sums_dlg.h"

#include <string>

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "ui/folder_sums_model.h"
#include "window_probes.h"

namespace quintrel {
namespace {

using testing::CFolderSumsDlgProbe;

// However long a path, the sums stay in sight: the names take what the sums leave, also
// when the window is made larger.
TEST(FolderSumsDlgTest, SumsStayInSightBesideLongPaths) {
  const std::string deep = "gcc/testsuite/gcc.target/aarch64/sve/acle/general-c++/very/deep";
  std::vector<FolderSum> folders;
  for (int i = 0; i < 40; ++i) folders.push_back({deep + std::to_string(i), {2, 1, 0}, {1, 2, 3}});
  CFolderSumsDlg dialog(folders);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTreeView* list = CFolderSumsDlgProbe::List(dialog);
  const QHeaderView* header = list->header();
  const auto lastRight = [header] {
    return header->sectionViewportPosition(kFolderColumnLoc) +
           header->sectionSize(kFolderColumnLoc);
  };
  EXPECT_LE(lastRight(), list->viewport()->width());
  EXPECT_GT(header->sectionSize(kFolderColumnName), header->sectionSize(kFolderColumnFiles));
  for (int column = kFolderColumnFiles; column < kFolderColumnCount; ++column) {
    EXPECT_GT(header->sectionSize(column), 0) << column;
  }
  const QSize before = list->size();
  dialog.resize(dialog.size() + QSize(100, 50));
  EXPECT_EQ(list->size(), before + QSize(100, 50));

  // Texts left, sums right, as the command line's table.
  const FolderSumsModel& model = *CFolderSumsDlgProbe::Folders(dialog);
  for (int column = 0; column < kFolderColumnCount; ++column) {
    const auto alignment =
        model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask,
              column >= kFolderColumnAdded ? Qt::AlignRight : Qt::AlignLeft)
        << column;
  }
  EXPECT_FALSE(model.data(model.index(40, 0), Qt::DisplayRole).isValid());
}

}  // namespace
}  // namespace quintrel
