#pragma once

#include <array>

#include <QLineEdit>
#include <QString>

#include "ui/measure_dlg.h"
#include "ui/progress_dlg.h"

class QCheckBox;
class QPushButton;
class QTreeView;

namespace quintrel::testing {

// The controls and state of the main window that its tests and benchmark drive and check.
// The window names it a friend so that none of this widens its own interface.
class CMeasureDlgProbe {
 public:
  static CHistoryCombo* OldFolderBox(const CMeasureDlg& dlg) { return dlg.m_oldFolderBox; }
  static CHistoryCombo* NewFolderBox(const CMeasureDlg& dlg) { return dlg.m_newFolderBox; }
  static QCheckBox* SubfoldersBox(const CMeasureDlg& dlg) { return dlg.m_subfoldersBox; }
  static QCheckBox* IgnoreFormatBox(const CMeasureDlg& dlg) { return dlg.m_ignoreFormatBox; }
  static QTreeView* List(const CMeasureDlg& dlg) { return dlg.m_list; }
  static ResultTableModel* Rows(const CMeasureDlg& dlg) { return dlg.m_rows; }
  static QString FileCountText(const CMeasureDlg& dlg) { return dlg.m_fileCountText; }
  static const std::array<bool, kColumnCount>& SortAscending(const CMeasureDlg& dlg) {
    return dlg.m_bSortAscending;
  }
  static void ShowSummary(CMeasureDlg& dlg, const Summary& summary) { dlg.SetSummary(summary); }
  // Whether the measurement that follows the first show has run (or none was asked for).
  static bool StartUpRunDone(const CMeasureDlg& dlg) {
    return !dlg.m_startUpRunPending && !dlg.m_inStartUpRun;
  }
  // What the edit box `controlId` shows; empty for a control that is no edit box.
  static QString ShownText(const CMeasureDlg& dlg, int controlId) {
    const auto* edit = qobject_cast<const QLineEdit*>(dlg.Control(controlId));
    return edit != nullptr ? edit->text() : QString();
  }
};

class CProgressDlgProbe {
 public:
  static QPushButton* CancelButton(const CProgressDlg& dlg) { return dlg.m_cancelButton; }
};

}  // namespace quintrel::testing
