#include "ui/report_list_view.h"

#include <QHeaderView>
#include <QTreeView>

namespace quintrel {

void SetUpReportList(QTreeView& list) {
  list.setRootIsDecorated(false);
  list.setItemsExpandable(false);
  list.setUniformRowHeights(true);
  list.setAllColumnsShowFocus(true);
  list.setSelectionBehavior(QAbstractItemView::SelectRows);
  list.setSelectionMode(QAbstractItemView::ExtendedSelection);
  list.setEditTriggers(QAbstractItemView::NoEditTriggers);
  QHeaderView* header = list.header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(-1, Qt::AscendingOrder);
}

}  // namespace quintrel
