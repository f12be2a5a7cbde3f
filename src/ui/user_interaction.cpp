#include "ui/user_interaction.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/ui_texts.h"

namespace quintrel {

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, MessageIcon icon,
                                            const QString& text) {
  return std::make_unique<QMessageBox>(
      icon == MessageIcon::kCritical ? QMessageBox::Critical : QMessageBox::Warning,
      kMainCaption.toString(), text, QMessageBox::Ok, parent);
}

void QtUserInteraction::ShowMessage(QWidget* parent, MessageIcon icon, const QString& text) {
  MakeMessageBox(parent, icon, text)->exec();
}

std::optional<QString> QtUserInteraction::ChooseFolder(QWidget* parent, const QString& title,
                                                       const QString& start) {
  const QString chosen = QFileDialog::getExistingDirectory(parent, title, start);
  if (chosen.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(chosen);
}

std::optional<ReportChoice> QtUserInteraction::ChooseReportPath(QWidget* parent,
                                                                const QString& folder) {
  QFileDialog dialog(parent);
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString json = kJsonFilter.toString();
  dialog.setNameFilters({kCsvFilter.toString(), json, kAllFilesFilter.toString()});
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, json](const QString& filter) {
        dialog.setDefaultSuffix(filter == json ? QStringLiteral("json") : QStringLiteral("csv"));
      });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ReportChoice{QDir::toNativeSeparators(dialog.selectedFiles().front()),
                      dialog.selectedNameFilter() == json};
}

ReportFormat ChosenReportFormat(const ReportChoice& choice) {
  const bool json =
      choice.jsonTypeChosen || choice.path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
  return json ? ReportFormat::kJson : ReportFormat::kCsv;
}

}  // namespace quintrel
