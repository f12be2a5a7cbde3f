// The parts of the test folders that need Windows calls.
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>

#include <random>
#include <stdexcept>
#include <string>

#include "temp_dir.h"

namespace quintrel::testing {

ScopedTempDir::ScopedTempDir() {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("quintrel-test-" + std::to_string(random()));
    // CreateDirectoryW fails when the name exists, so the folder is this object's alone.
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      m_path = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

void SetModificationTime(const std::filesystem::path& path, long long seconds) {
  HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot open " + path.string() + " to set its time");
  }
  constexpr long long kEpochDifference = 11'644'473'600;  // 1601 to 1970, in seconds
  const auto ticks = static_cast<unsigned long long>((seconds + kEpochDifference) * 10'000'000);
  FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  const bool set = ::SetFileTime(file, nullptr, &time, &time) != 0;
  ::CloseHandle(file);
  if (!set) throw std::runtime_error("cannot set the time of " + path.string());
}

bool IgnoresFilePermissions() {
  return true;  // POSIX permission bits mean nothing here
}

std::string FilePermissionsSkipReason() {
  return "Windows has no POSIX file permissions";
}

bool MakeFifo(const std::filesystem::path&) {
  return false;  // named pipes live outside the file system
}

std::string NonUtf8NamesSkipReason() {
  return "Windows keeps file names in UTF-16: a name that is not UTF-8 cannot exist";
}

std::string ControlCharacterNamesSkipReason() {
  return "Windows file names cannot hold control characters";
}

std::string PosixDevicesSkipReason() {
  return "Windows has no FIFOs, /dev/null or /dev/fd/N (its device names are tested apart)";
}

bool SetFileMode(const std::filesystem::path& path, unsigned mode) {
  return ::_wchmod(path.c_str(), (mode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD) == 0;
}

std::optional<unsigned> PermissionBits(const std::filesystem::path&) {
  return std::nullopt;
}

unsigned ProcessUmask() {
  return 0;
}

bool MakeSymlink(const std::string& target, const std::filesystem::path& link) {
  std::wstring wideTarget = std::filesystem::path(target).wstring();
  std::replace(wideTarget.begin(), wideTarget.end(), L'/', L'\\');
  const bool folder = std::filesystem::is_directory(link.parent_path() / target);
  const DWORD flags =
      (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (!::CreateSymbolicLinkW(link.c_str(), wideTarget.c_str(), flags)) return false;
  // Some systems (Wine) report success without making the link.
  const DWORD attributes = ::GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace quintrel::testing
