#include "ui/file_location.h"

#include <QDir>
#include <QFileInfo>

#include "compare/name_order.h"

namespace quintrel {

QString LocateFileInFolder(const QString& folderText, const QString& name) {
  const QDir folder(folderText.isEmpty() ? QDir::currentPath() : folderText);
  const QString exact = QDir::toNativeSeparators(folder.absoluteFilePath(name));
  if (QFileInfo::exists(exact)) return exact;
  const std::string wanted = name.toStdString();
  const QStringList entries = folder.entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                               QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (EqualIgnoringCase(entry.toStdString(), wanted)) {
      return QDir::toNativeSeparators(folder.absoluteFilePath(entry));
    }
  }
  return exact;
}

}  // namespace quintrel
