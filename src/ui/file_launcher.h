#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>

namespace quintrel {

// Starts an editor on a file. An interface so that tests can see what would be opened
// without starting anything.
class FileLauncher {
 public:
  virtual ~FileLauncher() = default;

  // `path` as the file system spells it (FileSystemPath): a name that is not valid text
  // opens too. False when nothing could be started.
  virtual bool Open(const std::string& path) = 0;
};

// The program named by the environment variable QUINTREL_EDITOR (with its arguments) when
// set, else the platform's editor for the file.
std::unique_ptr<FileLauncher> MakeSystemFileLauncher();

// A path in the file system's own spelling (its bytes on POSIX systems, UTF-8 on Windows),
// and back as text for messages.
std::string FileSystemPath(const QString& path);
QString ShownPath(const std::string& path);

// The platform parts: Notepad on Windows, the desktop's default application elsewhere; and
// a program started with its arguments, without waiting for it. Both take file system paths
// and report whether the program could be started.
bool OpenInPlatformEditor(const std::string& path);
bool StartProgramDetached(const std::vector<std::string>& arguments);

}  // namespace quintrel
