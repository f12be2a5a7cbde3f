#include "ui/file_launcher.h"

#include <QProcess>
#include <QStringList>

namespace quintrel {

namespace {

constexpr char kEditorVariable[] = "QUINTREL_EDITOR";

class SystemFileLauncher : public FileLauncher {
 public:
  bool Open(const QString& path) override {
    const QString editor = qEnvironmentVariable(kEditorVariable);
    if (editor.trimmed().isEmpty()) return OpenInPlatformEditor(path);
    QStringList arguments = QProcess::splitCommand(editor);
    if (arguments.isEmpty()) return false;
    const QString program = arguments.takeFirst();
    arguments.append(path);
    return QProcess::startDetached(program, arguments);
  }
};

}  // namespace

std::unique_ptr<FileLauncher> MakeSystemFileLauncher() {
  return std::make_unique<SystemFileLauncher>();
}

}  // namespace quintrel
