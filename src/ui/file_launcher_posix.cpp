#include <QDesktopServices>
#include <QUrl>

#include "ui/file_launcher.h"

namespace quintrel {

bool OpenInPlatformEditor(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quintrel
