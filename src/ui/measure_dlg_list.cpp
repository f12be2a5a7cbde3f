// The main dialog's commands on the result list, the folder buttons and the about box.
#include <optional>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTreeView>

#include "compare/listing/folder_listing.h"
#include "compare/listing/name_order.h"
#include "compare/results/row_order.h"
#include "compare/text/utf8.h"
#include "engine/input_file.h"
#include "ui/about_dlg.h"
#include "ui/file_launcher.h"
#include "ui/folder_sums_dlg.h"
#include "ui/history_combo.h"
#include "ui/measure_dlg.h"
#include "ui/result_table_model.h"
#include "ui/ui_texts.h"
#include "ui/user_interaction.h"
#include "ui/wait_cursor.h"
#include "ui/window_info.h"

namespace quintrel {

namespace {

// The entry of `folder` named `name`, or else one whose name differs only in letter case;
// empty when there is neither.
QString EntryIgnoringCase(const QDir& folder, const QString& name) {
  if (folder.exists(name)) return name;
  const std::string wanted = name.toStdString();
  const QStringList entries = folder.entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                               QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (EqualIgnoringCase(entry.toStdString(), wanted)) return entry;
  }
  return {};
}

// The path of a row's file below the folder a folder box names (relative texts against the
// current directory). `relative` is the row's path, '/'-separated or native. A path the run
// found on this side (`onDisk`) is taken as it is. A shown name is the old side's spelling,
// so each of its parts that has no exact entry takes one that differs only in letter case.
// Returns the exact path when nothing matches.
QString LocateFileInFolder(const QString& folderText, const QString& relative, bool onDisk) {
  const QDir folder(folderText.isEmpty() ? QDir::currentPath() : folderText);
  const QString path = QDir::fromNativeSeparators(relative);
  const QString exact = QDir::toNativeSeparators(folder.absoluteFilePath(path));
  if (onDisk || QFileInfo::exists(exact)) return exact;
  QDir at = folder;
  const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString entry = EntryIgnoringCase(at, parts[i]);
    if (entry.isEmpty()) return exact;
    if (i + 1 == parts.size()) return QDir::toNativeSeparators(at.absoluteFilePath(entry));
    if (!at.cd(entry)) return exact;
  }
  return exact;
}

// Opens the folder picker on the box's folder and writes the chosen folder into the box; a
// cancelled picker leaves the box as it was. The history is not touched.
void BrowseFolderInto(QWidget* owner, CHistoryCombo& box, const QString& title,
                      UserInteraction& interaction) {
  const std::optional<QString> chosen = interaction.ChooseFolder(owner, title, box.GetText());
  if (chosen) box.SetText(*chosen);
}

}  // namespace

void CMeasureDlg::OnColumnClickList(int column) {
  if (column < 0 || column >= kColumnCount) return;
  WaitCursor wait;
  m_rows->SortRows(column, m_bSortAscending[column]);
  m_list->header()->setSortIndicator(
      column, m_bSortAscending[column] ? Qt::AscendingOrder : Qt::DescendingOrder);
  m_bSortAscending[column] = !m_bSortAscending[column];
}

void CMeasureDlg::OnSelectAll() {
  m_list->selectAll();
}

std::unique_ptr<QMenu> CMeasureDlg::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->addAction(kMenuSelectionTotal.toString(), this, &CMeasureDlg::UpdateTotalsFromSelection);
  menu->addAction(kMenuSelectAll.toString(), this, &CMeasureDlg::OnSelectAll);
  menu->addAction(kMenuOpenOld.toString(), this, &CMeasureDlg::OnOpenOldFile);
  menu->addAction(kMenuOpenNew.toString(), this, &CMeasureDlg::OnOpenNewFile);
  menu->addAction(kMenuFolderSums.toString(), this, &CMeasureDlg::ShowFolderSums);
  // Where the window menu cannot take the about item it ends this menu (F1 opens it too),
  // without its mnemonic, which would clash with the select-all command's.
  if (!m_aboutInSystemMenu) {
    menu->addSeparator();
    menu->addAction(kMenuAbout.toString().remove(QStringLiteral("(&A)")), this,
                    &CMeasureDlg::ShowAbout);
  }
  return menu;
}

void CMeasureDlg::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
}

void CMeasureDlg::keyPressEvent(QKeyEvent* event) {
  // Keys the focused control leaves alone come here. Shift+F10 and the Menu key ask for the
  // context menu from the keyboard. A platform that turns the Menu key into a request of its
  // own opens the menu first, and the menu then takes the key, so it never opens twice.
  const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (menuKey || shiftF10) {
    RequestKeyboardContextMenu();
    return;
  }
  QDialog::keyPressEvent(event);
}

// Sends the focused control the request the platform sends for the Menu key; a control
// without a menu of its own passes it on to this window.
void CMeasureDlg::RequestKeyboardContextMenu() {
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr || target->window() != this) target = this;
  const QPoint pos = target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
  QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos));
  QCoreApplication::sendEvent(target, &request);
}

void CMeasureDlg::FitNameColumn() {
  QHeaderView* header = m_list->header();
  int others = 0;
  for (int column = 0; column < kColumnCount; ++column) {
    if (column != kColumnName) others += header->sectionSize(column);
  }
  // The room without scroll bars, less a vertical one where the rows will need it (the list
  // lays its scroll bars out later).
  const QSize view = m_list->maximumViewportSize();
  const int rowHeight = m_rows->rowCount() > 0 ? m_list->sizeHintForRow(0) : 0;
  const bool scrolls = static_cast<qint64>(rowHeight) * m_rows->rowCount() > view.height();
  const int scrollBar =
      scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list) : 0;
  const int room = view.width() - scrollBar - others;
  const int least = kDefaultColumnWidths[kColumnName];
  if (room <= least) return;
  const QFontMetrics metrics = m_list->fontMetrics();
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
  int widest = 0;
  for (const ResultRow& row : m_rows->Rows()) {
    widest =
        std::max(widest, metrics.horizontalAdvance(ResultTableModel::CellText(row, kColumnName)));
    if (widest + margins >= room) break;
  }
  m_sizingColumns = true;
  header->resizeSection(kColumnName, std::clamp(widest + margins, least, room));
  m_sizingColumns = false;
}

int CMeasureDlg::FirstSelectedRow() const {
  int first = -1;
  for (const QItemSelectionRange& range : m_list->selectionModel()->selection()) {
    if (range.isValid() && (first < 0 || range.top() < first)) first = range.top();
  }
  return first;
}

void CMeasureDlg::OpenRowFile(const std::string& folder, PresenceFlags side) {
  const int index = FirstSelectedRow();
  if (index < 0) return;
  const ResultRow& row = m_rows->Rows()[index];
  // A side that lacks the file falls back to the name shown.
  const std::string& onDisk = side == kInOld ? row.oldName : row.newName;
  const QString name = ShownPath(onDisk.empty() ? row.name : onDisk);
  std::string path;  // as the file system spells it
  if (folder.empty()) {
    // An empty folder text names no folder (the run lists nothing there), not the current one.
    path = FileSystemPath(QDir::toNativeSeparators(name));
  } else if (!onDisk.empty() && !IsValidUtf8(onDisk)) {
    // No text holds this name: the bytes the run read it by.
    path = JoinPath(ResolveFolderText(folder), onDisk);
  } else {
    path = FileSystemPath(LocateFileInFolder(ShownPath(folder), name, !onDisk.empty()));
  }
  if (folder.empty() || QueryStatus(path).size < 0) {
    ShowMessage(MessageIcon::kWarning, kFileMissingMessage.toString().arg(ShownPath(path)));
    return;
  }
  if (!m_launcher.Open(path)) {
    ShowMessage(MessageIcon::kWarning, kCannotOpenMessage.toString().arg(ShownPath(path)));
  }
}

void CMeasureDlg::OnOpenOldFile() {
  OpenRowFile(m_measured.oldLabel, kInOld);
}

void CMeasureDlg::OnOpenNewFile() {
  OpenRowFile(m_measured.newLabel, kInNew);
}

void CMeasureDlg::OnDblClkList() {
  OnOpenNewFile();
}

void CMeasureDlg::OnBrowseOld() {
  BrowseFolderInto(this, *m_oldFolderBox, kBrowseOldTitle.toString(), m_interaction);
}

void CMeasureDlg::OnBrowseNew() {
  BrowseFolderInto(this, *m_newFolderBox, kBrowseNewTitle.toString(), m_interaction);
}

void CMeasureDlg::ShowFolderSums() {
  std::vector<FolderSum> folders;
  {
    WaitCursor wait;
    // Summed in the run's order, so that the folders stand as the command line lists them.
    folders = SumFolders(m_rows->RowsInGivenOrder());
  }
  CFolderSumsDlg dialog(std::move(folders), this);
  dialog.exec();
}

void CMeasureDlg::ShowAbout() {
  CAboutDlg about(this);
  about.exec();
}

}  // namespace quintrel
