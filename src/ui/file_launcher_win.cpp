#include <windows.h>

#include <shellapi.h>

#include <QDir>

#include "ui/file_launcher.h"

namespace quintrel {

// Notepad through the shell with the verb "open"; the path is quoted, as it may hold spaces.
// The shell answers a value above 32 when it started the program.
bool OpenInPlatformEditor(const QString& path) {
  const QString parameters = QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
  const HINSTANCE started =
      ShellExecuteW(nullptr, L"open", L"notepad.exe", reinterpret_cast<LPCWSTR>(parameters.utf16()),
                    nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(started) > 32;
}

}  // namespace quintrel
