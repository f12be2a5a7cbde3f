#include <QProcess>

#include "ui/file_launcher.h"

namespace quintrel {

bool OpenInPlatformEditor(const QString& path) {
  return QProcess::startDetached(QStringLiteral("notepad.exe"), {path});
}

}  // namespace quintrel
