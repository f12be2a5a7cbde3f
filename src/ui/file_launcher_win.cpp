#include <windows.h>

#include <shellapi.h>

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "ui/file_launcher.h"

namespace quintrel {

// The run reads Windows names as UTF-8.
std::string FileSystemPath(const QString& path) {
  return path.toStdString();
}

QString ShownPath(const std::string& path) {
  return QString::fromStdString(path);
}

// Notepad through the shell with the verb "open"; the path is quoted, as it may hold spaces.
// The shell answers a value above 32 when it started the program.
bool OpenInPlatformEditor(const std::string& path) {
  const QString parameters =
      QLatin1Char('"') + QDir::toNativeSeparators(ShownPath(path)) + QLatin1Char('"');
  const HINSTANCE started =
      ShellExecuteW(nullptr, L"open", L"notepad.exe", reinterpret_cast<LPCWSTR>(parameters.utf16()),
                    nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(started) > 32;
}

bool StartProgramDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) rest.append(ShownPath(arguments[i]));
  return QProcess::startDetached(ShownPath(arguments[0]), rest);
}

}  // namespace quintrel
