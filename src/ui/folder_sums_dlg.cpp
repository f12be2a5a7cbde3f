#include "ui/folder_sums_dlg.h"

#include <algorithm>

#include <QHeaderView>
#include <QTreeView>

#include "ui/dialog_units.h"
#include "ui/folder_sums_model.h"
#include "ui/report_list_view.h"
#include "ui/ui_texts.h"
#include "ui/wait_cursor.h"

namespace quintrel {

namespace {

constexpr int kTemplateWidth = 262;
constexpr int kTemplateHeight = 180;
constexpr int kFileCountWidth = 60;  // dialog units, as the main list's totals box
constexpr int kSumWidth = 36;

}  // namespace

CFolderSumsDlg::CFolderSumsDlg(std::vector<FolderSum> folders, QWidget* parent) : QDialog(parent) {
  setWindowTitle(kFolderSumsCaption.toString());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
  setFont(DialogFont());
  const DialogBaseUnits units = ComputeBaseUnits(QFontMetrics(font()));
  resize(DialogSize(units, kTemplateWidth, kTemplateHeight));
  setMinimumSize(size());

  m_folders = new FolderSumsModel(std::move(folders), this);
  m_list = new QTreeView(this);
  m_list->setModel(m_folders);
  m_list->setGeometry(DialogRect(units, 6, 6, kTemplateWidth - 12, kTemplateHeight - 12));
  // The arrow shows the column the folders are sorted by; none while in the run's order.
  SetUpReportList(*m_list);
  connect(m_list->header(), &QHeaderView::sectionClicked, this, &CFolderSumsDlg::OnColumnClickList);
  m_anchors.AddControl(m_list, kAnchorStretch, kAnchorStretch);
  m_anchors.MeasureAll();
}

// The sums take fixed widths, the names the rest of the list's width.
void CFolderSumsDlg::SizeColumns() {
  const DialogBaseUnits units = ComputeBaseUnits(QFontMetrics(font()));
  QHeaderView* header = m_list->header();
  header->resizeSection(kFolderColumnFiles, DialogSize(units, kFileCountWidth, 0).width());
  int fixed = header->sectionSize(kFolderColumnFiles);
  for (int column : {kFolderColumnAdded, kFolderColumnDeleted, kFolderColumnLoc}) {
    header->resizeSection(column, DialogSize(units, kSumWidth, 0).width());
    fixed += header->sectionSize(column);
  }
  // Long paths are elided rather than pushing the sums out of sight; a heading can still be
  // dragged wider.
  const int room = m_list->viewport()->width() - fixed;
  header->resizeSection(kFolderColumnName,
                        std::max(room, header->sectionSizeHint(kFolderColumnName)));
}

void CFolderSumsDlg::OnColumnClickList(int column) {
  if (column < 0 || column >= kFolderColumnCount) return;
  WaitCursor wait;
  const bool ascending = m_bSortAscending[column];
  m_folders->SortFolders(column, ascending);
  m_list->header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  m_bSortAscending[column] = !ascending;
}

void CFolderSumsDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The list's room is known once it is laid out for showing.
  if (!m_columnsSized) SizeColumns();
  m_columnsSized = true;
}

void CFolderSumsDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  m_anchors.ApplyAll();
}

}  // namespace quintrel
