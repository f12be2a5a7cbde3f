#pragma once

#include <array>

#include <QLineEdit>
#include <QString>

#include "ui/folder_sums_dlg.h"
#include "ui/folder_sums_model.h"
#include "ui/measure_dlg.h"
#include "ui/options_dlg.h"
#include "ui/progress_dlg.h"

class QCheckBox;
class QSpinBox;
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
  static MeasureOptions& Options(CMeasureDlg& dlg) { return dlg.m_measureOptions; }
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

class COptionsDlgProbe {
 public:
  static QLineEdit* ExtensionsEdit(const COptionsDlg& dlg) { return dlg.m_extensionsEdit; }
  static QLineEdit* ExcludeDirsEdit(const COptionsDlg& dlg) { return dlg.m_excludeDirsEdit; }
  static QCheckBox* RenamesBox(const COptionsDlg& dlg) { return dlg.m_renamesBox; }
  static QSpinBox* PercentBox(const COptionsDlg& dlg) { return dlg.m_percentBox; }
};

class CFolderSumsDlgProbe {
 public:
  static QTreeView* List(const CFolderSumsDlg& dlg) { return dlg.m_list; }
  static FolderSumsModel* Folders(const CFolderSumsDlg& dlg) { return dlg.m_folders; }
};

}  // namespace quintrel::testing
