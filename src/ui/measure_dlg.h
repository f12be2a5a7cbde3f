#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <QDialog>
#include <QSize>
#include <QString>
#include <QTimer>

#include "compare/run/run_request.h"
#include "ui/anchor_layout.h"
#include "ui/dialog_units.h"
#include "ui/measure_options.h"
#include "ui/user_interaction.h"
#include "ui/window_info.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSettings;
class QTreeView;

namespace quintrel::testing {
class CMeasureDlgProbe;
}

namespace quintrel {

class CHistoryCombo;
class FileLauncher;
class MeasurementJob;
class ResultTableModel;

// The main window: two folder boxes, the result list with its totals row, and the commands
// on them. Measuring, totals, ordering and the report are the compare layer's; this class
// wires them to the controls.
class CMeasureDlg : public QDialog {
  Q_OBJECT

 public:
  // The settings, dialogs and launcher are not owned and must outlive the dialog.
  CMeasureDlg(QSettings& settings, UserInteraction& interaction, FileLauncher& launcher,
              QWidget* parent = nullptr);
  ~CMeasureDlg() override;

  // Restores the histories, size and column widths. Call once, before the dialog is first
  // shown: the first measurement runs once the window shows, over it, and a folder error of
  // that run is not reported.
  void OnInitDialog();

  // Commands.
  void RunMeasurement();
  void UpdateTotalsFromSelection();
  void SaveReport();
  // The save command after the save dialog: writes the report to `path`, reporting every
  // failure. Returns true when the report was written. A CSV report holds the rows as the
  // list shows them with the totals as they stand; a JSON report is the command line's, of
  // the run as measured (the folder sums with it after a tree run).
  bool SaveReportTo(const QString& path, ReportFormat format = ReportFormat::kCsv);
  // The options dialog; what it keeps sets up the next run, which it does not start.
  void OnOptions();
  // The window of the folder sums of the rows of the last run.
  void ShowFolderSums();
  void OnBrowseOld();
  void OnBrowseNew();
  void OnColumnClickList(int column);
  void OnSelectAll();
  void OnOpenOldFile();
  void OnOpenNewFile();
  void OnDblClkList();
  void ShowAbout();
  // Writes the histories, outer size and column widths to the settings.
  void SaveWindowSettings();

  // The context menu of the list, its commands in order; the caller owns it.
  std::unique_ptr<QMenu> CreateContextMenu();

  // Seams for tests: the run's worker count and how the folders are opened.
  void SetRunOptions(unsigned jobs, FolderPairOpener openFolders);
  // Seam for tests: what the window manager's frame adds to the client size as reported now
  // (a null size while none is reported). By default the window's frame geometry.
  void SetFrameSource(std::function<QSize()> source);

  Totals CurrentTotals() const { return {m_totalAdded, m_totalDeleted, m_totalLoc}; }
  QWidget* Control(int controlId) const;
  // The size the template gives the client area.
  QSize TemplateClientSize() const;
  // The size to store: the client size with the frame reported now, else the frame last
  // reported; a window whose frame was never reported has none.
  QSize OuterSize() const;
  WindowInfo CurrentWindowInfo() const;

 protected:
  void accept() override;
  void reject() override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  // The window tests reach the controls through it (tests/ui/window_probes.h).
  friend class testing::CMeasureDlgProbe;

  void CreateControls();
  void CreateList();
  void CreateTotalsRow();
  void RegisterAnchors();
  void PlaceTotalsRow();
  void RestoreWindowInfo(const QString& text);
  void ApplyOuterSize(QSize outer);
  QSize ReportedFrame() const;
  QSize KnownFrameOrNone() const;
  bool NoteFrame();
  void CheckFrame();
  void SettlePendingOuterSize();
  void RequestKeyboardContextMenu();
  void RunStartUpMeasurement();
  void ShowRunResult(RunResult result);
  // Says which folder could not be opened and keeps it out of its box's history.
  void ReportFolderError(CHistoryCombo& box, const std::string& folder,
                         const TopFolderError& error);
  void SetSummary(const Summary& summary);
  void UpdateData();
  int FirstSelectedRow() const;
  // Opens the first selected row's file below `folder` (a measured folder text), under its name on
  // the given side, with the program the system associates with it.
  void OpenRowFile(const std::string& folder, PresenceFlags side);
  // Widens the name column to the longest name shown, as far as the list has room.
  void FitNameColumn();
  void ShowMessage(MessageIcon icon, const QString& text);

  QSettings& m_settings;
  UserInteraction& m_interaction;
  FileLauncher& m_launcher;
  DialogBaseUnits m_units;

  std::array<bool, kColumnCount> m_bSortAscending{};
  CAnchorLayout m_anchors;
  CHistoryCombo* m_newFolderBox = nullptr;
  CHistoryCombo* m_oldFolderBox = nullptr;
  QTreeView* m_list = nullptr;
  ResultTableModel* m_rows = nullptr;
  std::int64_t m_totalAdded = 0;
  std::int64_t m_totalDeleted = 0;
  std::int64_t m_totalLoc = 0;
  QString m_fileCountText;

  QLabel* m_oldLabel = nullptr;
  QLabel* m_newLabel = nullptr;
  QLabel* m_totalLabel = nullptr;
  QPushButton* m_browseOldButton = nullptr;
  QPushButton* m_browseNewButton = nullptr;
  QPushButton* m_measureButton = nullptr;
  QPushButton* m_saveButton = nullptr;
  QCheckBox* m_subfoldersBox = nullptr;    // runs take the folders' subfolders too
  QCheckBox* m_ignoreFormatBox = nullptr;  // runs pair statement units, not lines
  QPushButton* m_optionsButton = nullptr;
  MeasureOptions m_measureOptions;  // what the options dialog last kept
  QLineEdit* m_fileCountEdit = nullptr;
  QLineEdit* m_addedEdit = nullptr;
  QLineEdit* m_deletedEdit = nullptr;
  QLineEdit* m_locEdit = nullptr;

  unsigned m_jobs = 0;
  FolderPairOpener m_openFolders = MakeFolderPair;
  MeasurementJob* m_job = nullptr;  // the run in progress
  // The run the list shows, without its rows (the model holds them): reports and the
  // "open" commands name its folders, not what the boxes say now.
  RunResult m_measured;
  QString m_reportFolder;  // of the last report saved, empty before the first
  std::function<QSize()> m_frameSource;
  QSize m_knownFrame;         // the frame last reported, invalid until one is
  QSize m_pendingOuterSize;   // a restored outer size, fitted once the frame is known
  QSize m_appliedClientSize;  // the client size given for it
  QTimer m_frameCheck;
  int m_frameChecksLeft = 0;
  bool m_closing = false;
  bool m_startUpRunPending = false;  // until the window shows
  bool m_inStartUpRun = false;
  // The name column's width was stored or set by the user: runs leave it alone.
  bool m_nameWidthChosen = false;
  bool m_sizingColumns = false;  // the window itself resizes the columns
  bool m_aboutInSystemMenu = false;
};

// Control identifiers of the dialog template, used to name controls in tests and layout.
enum ControlId {
  kIdOk = 1,
  kIdOldFolder = 300,
  kIdNewFolder = 301,
  kIdList = 302,
  kIdTotalAdded = 303,
  kIdTotalDeleted = 304,
  kIdTotalLoc = 305,
  kIdBrowseOld = 306,
  kIdBrowseNew = 307,
  kIdTotalLabel = 309,
  kIdSave = 310,
  kIdFileCount = 311,
  kIdSubfolders = 312,
  kIdIgnoreFormat = 313,
  kIdOptions = 314,
};

}  // namespace quintrel
