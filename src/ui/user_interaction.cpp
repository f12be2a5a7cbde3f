#include "ui/user_interaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/ui_texts.h"

namespace quintrel {

void QtUserInteraction::ShowMessage(QWidget* parent, MessageIcon icon, const QString& text) {
  QMessageBox box(icon == MessageIcon::kCritical ? QMessageBox::Critical : QMessageBox::Warning,
                  QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
  box.exec();
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
