#pragma once

#include <memory>

#include <QString>

namespace quintrel {

// Starts an editor on a file. An interface so that tests can see what would be opened
// without starting anything.
class FileLauncher {
 public:
  virtual ~FileLauncher() = default;

  // False when nothing could be started.
  virtual bool Open(const QString& path) = 0;
};

// The program named by the environment variable QUINTREL_EDITOR (with its arguments) when
// set, else the platform's editor for the file.
std::unique_ptr<FileLauncher> MakeSystemFileLauncher();

// The platform part: Notepad on Windows, the desktop's default application elsewhere.
bool OpenInPlatformEditor(const QString& path);

}  // namespace quintrel
