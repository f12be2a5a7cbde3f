// The main dialog's measurement run, totals and report.
#include <QCheckBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

#include "compare/reports/csv_report.h"
#include "compare/reports/json_report.h"
#include "compare/run/run_request.h"
#include "ui/history_combo.h"
#include "ui/measure_dlg.h"
#include "ui/measurement_job.h"
#include "ui/options_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/result_table_model.h"
#include "ui/ui_texts.h"
#include "ui/wait_cursor.h"

namespace quintrel {

void CMeasureDlg::SetRunOptions(unsigned jobs, FolderPairOpener openFolders) {
  m_jobs = jobs;
  m_openFolders = std::move(openFolders);
}

void CMeasureDlg::RunMeasurement() {
  if (m_job != nullptr) return;  // one run at a time
  RunResult result;
  QString failure;
  {
    WaitCursor wait;
    RunOptions options;
    options.oldVersion = m_oldFolderBox->GetText().toStdString();
    options.newVersion = m_newFolderBox->GetText().toStdString();
    options.scan.recursive = m_subfoldersBox->isChecked();
    options.ignoreFormat = m_ignoreFormatBox->isChecked();
    ApplyMeasureOptions(m_measureOptions, options);
    options.jobs = m_jobs;
    MeasurementJob job(BuildRunRequest(options, {m_openFolders, {}}).request);
    CProgressDlg progress(this);
    QEventLoop loop;
    connect(&job, &MeasurementJob::Progress, &progress, &CProgressDlg::SetPosition);
    connect(&progress, &QDialog::rejected, &job, [&job] { job.Cancel(); });
    connect(&job, &MeasurementJob::Finished, &loop, &QEventLoop::quit);
    m_job = &job;
    job.Start();
    progress.show();
    loop.exec();
    progress.hide();
    result = job.TakeResult();
    failure = QString::fromStdString(job.Failure());
    m_job = nullptr;
  }
  if (!failure.isEmpty()) {
    // Nothing was measured to the end: the list keeps the previous run, as on a folder error.
    ShowMessage(MessageIcon::kCritical, kRunFailedMessage.toString().arg(failure));
    return;
  }
  ShowRunResult(std::move(result));
}

void CMeasureDlg::ShowRunResult(RunResult result) {
  switch (result.status) {
    case RunStatus::kOldFolderError:
      ReportFolderError(*m_oldFolderBox, result.oldLabel, result.folderError);
      return;
    case RunStatus::kNewFolderError:
      ReportFolderError(*m_newFolderBox, result.newLabel, result.folderError);
      return;
    case RunStatus::kFailed:  // reported by RunMeasurement as the job's failure
      return;
    case RunStatus::kCompleted:
    case RunStatus::kCancelled:
      break;
  }
  m_oldFolderBox->AcceptText();
  m_newFolderBox->AcceptText();
  m_rows->SetRows(std::move(result.rows));
  m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);  // catalogue order
  SetSummary(result.summary);
  m_measured = std::move(result);
  m_measured.rows.clear();
  if (m_measured.scan.recursive && !m_nameWidthChosen) FitNameColumn();
  if (m_measured.status == RunStatus::kCancelled) {
    ShowMessage(MessageIcon::kWarning, kCancelledMessage.toString());
  }
}

void CMeasureDlg::ReportFolderError(CHistoryCombo& box, const std::string& folder,
                                    const TopFolderError& error) {
  box.RefuseText(QString::fromStdString(folder));
  // The start-up run measures the folders of the last session and stays silent.
  if (m_inStartUpRun) return;
  ShowMessage(MessageIcon::kWarning, QString::fromStdString(error.message));
  box.setFocus();
  box.lineEdit()->selectAll();
}

void CMeasureDlg::SetSummary(const Summary& summary) {
  m_fileCountText = QString::fromStdString(summary.fileCountText);
  m_totalAdded = summary.totals.added;
  m_totalDeleted = summary.totals.deleted;
  m_totalLoc = summary.totals.loc;
  UpdateData();
}

void CMeasureDlg::UpdateData() {
  m_fileCountEdit->setText(m_fileCountText);
  m_addedEdit->setText(QString::number(m_totalAdded));
  m_deletedEdit->setText(QString::number(m_totalDeleted));
  m_locEdit->setText(QString::number(m_totalLoc));
  PlaceTotalsRow();  // the boxes widen for long numbers
}

void CMeasureDlg::UpdateTotalsFromSelection() {
  // Walks the selection's ranges, not one index per selected row: all of a tree's rows
  // selected are one range.
  const std::vector<ResultRow>& all = m_rows->Rows();
  std::vector<char> selected(all.size(), 0);
  for (const QItemSelectionRange& range : m_list->selectionModel()->selection()) {
    if (!range.isValid() || range.parent().isValid()) continue;
    std::fill(selected.begin() + range.top(), selected.begin() + range.bottom() + 1, 1);
  }
  std::vector<const ResultRow*> rows;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (selected[i] != 0) rows.push_back(&all[i]);
  }
  SetSummary(SummarizeRows(rows));
}

void CMeasureDlg::SaveReport() {
  const std::optional<ReportChoice> choice = m_interaction.ChooseReportPath(this, m_reportFolder);
  if (choice) SaveReportTo(choice->path, ChosenReportFormat(*choice));
}

bool CMeasureDlg::SaveReportTo(const QString& path, ReportFormat format) {
  const WriteOutcome outcome = [&] {
    WaitCursor wait;
    if (format == ReportFormat::kJson) {
      // The run as it came, in the run's order, as the command line writes it.
      RunResult measured = m_measured;
      measured.rows = m_rows->RowsInGivenOrder();
      return SaveJsonReport(path.toStdString(), measured, measured.scan.recursive);
    }
    // The rows in the order the list shows them, under the folders they were measured from,
    // with the totals as they stand.
    RunResult shown = m_measured;
    shown.rows = m_rows->Rows();
    Summary totals;
    totals.fileCountText = m_fileCountText.toStdString();
    totals.totals = CurrentTotals();
    return SaveCsvReport(path.toStdString(), shown, totals);
  }();
  if (outcome.ok()) {
    m_reportFolder = QFileInfo(path).absolutePath();  // where the next save dialog opens
    return true;
  }
  QString text = outcome.failure == WriteFailure::kWriteFailed
                     ? kDiskFullMessage.toString().arg(path)
                     : kCannotCreateMessage.toString().arg(path);
  if (outcome.failure != WriteFailure::kWriteFailed && !outcome.detail.empty()) {
    text += u'\n' + QString::fromStdString(outcome.detail);
  }
  ShowMessage(MessageIcon::kCritical, text);
  return false;
}

void CMeasureDlg::OnOptions() {
  COptionsDlg dialog(m_measureOptions, m_interaction, this);
  if (dialog.exec() == QDialog::Accepted) m_measureOptions = dialog.Options();
}

void CMeasureDlg::ShowMessage(MessageIcon icon, const QString& text) {
  m_interaction.ShowMessage(this, icon, text);
}

}  // namespace quintrel
