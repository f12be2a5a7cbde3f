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

std::optional<QString> QtUserInteraction::ChooseReportPath(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({kCsvFilter.toString(), kAllFilesFilter.toString()});
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

}  // namespace quintrel
