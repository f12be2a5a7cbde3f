#include "ui/measure_options.h"

#include <QStringList>

#include "compare/run/option_texts.h"
#include "ui/ui_texts.h"

namespace quintrel {

QString DefaultExtensionsText() {
  QStringList names;
  for (const std::string& name : ScanOptions{}.extensions)
    names.append(QString::fromStdString(name));
  return names.join(u',');
}

OptionsProblem CheckMeasureOptions(const MeasureOptions& options) {
  using Field = OptionsProblem::Field;
  if (!ParseExtensionList(options.extensions.toStdString())) {
    return {Field::kExtensions,
            QString::fromStdString(ExtensionListError(kExtensionsLabel.toString().toStdString()))};
  }
  if (!ParseExcludedFolderList(options.excludeDirs.toStdString())) {
    return {Field::kExcludeDirs, QString::fromStdString(ExcludedFolderListError(
                                     kExcludeDirsLabel.toString().toStdString()))};
  }
  return {};
}

void ApplyMeasureOptions(const MeasureOptions& options, RunOptions& run) {
  if (auto extensions = ParseExtensionList(options.extensions.toStdString())) {
    run.scan.extensions = std::move(*extensions);
  }
  if (auto folders = ParseExcludedFolderList(options.excludeDirs.toStdString())) {
    run.scan.excludedFolders = std::move(*folders);
  }
  const bool renames = options.renamePercent >= 1 && options.renamePercent <= 100;
  run.renamePercent = renames ? options.renamePercent : 0;
}

}  // namespace quintrel
