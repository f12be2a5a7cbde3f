#include "ui/file_launcher.h"

#include <QProcess>
#include <QStringList>

namespace quintrel {

namespace {

constexpr char kEditorVariable[] = "QUINTREL_EDITOR";

class SystemFileLauncher : public FileLauncher {
 public:
  bool Open(const std::string& path) override {
    const QString editor = qEnvironmentVariable(kEditorVariable);
    if (editor.trimmed().isEmpty()) return OpenInPlatformEditor(path);
    const QStringList words = QProcess::splitCommand(editor);
    if (words.isEmpty()) return false;
    std::vector<std::string> arguments;
    for (const QString& word : words) arguments.push_back(FileSystemPath(word));
    arguments.push_back(path);
    return StartProgramDetached(arguments);
  }
};

}  // namespace

std::unique_ptr<FileLauncher> MakeSystemFileLauncher() {
  return std::make_unique<SystemFileLauncher>();
}

}  // namespace quintrel
