#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quintrel::testing {

// A path from the UTF-8 text the program takes, and back: on Windows, std::filesystem's
// plain strings are in the ANSI code page instead.
std::filesystem::path Utf8Path(std::string_view utf8);
std::string Utf8String(const std::filesystem::path& path);

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes out of scope.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::string str() const { return Utf8String(m_path); }

  // Creates (or replaces) the file `relative` below this folder with exactly `bytes`,
  // creating missing parent folders. Returns its full path.
  std::filesystem::path Write(const std::string& relative, std::string_view bytes) const;

  // Creates the folder `relative` below this folder. Returns its full path.
  std::filesystem::path MakeDir(const std::string& relative) const;

 private:
  std::filesystem::path m_path;
};

// Sets the modification time of `path` to `seconds` since the epoch.
void SetModificationTime(const std::filesystem::path& path, long long seconds);

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// True when the process can ignore file permissions (root), so permission tests must skip.
// Such a test must then run in the unprivileged pass (tests/support/run-unprivileged, as
// listed in its folder's CMakeLists.txt): the call records a failure when the running test is
// not one CTest runs there, or when permissions are ignored in that pass itself.
bool IgnoresFilePermissions();

// Why a test of file permissions cannot run in this process (root ignores them, see above;
// Windows has no POSIX permissions), or empty when it can.
std::string FilePermissionsSkipReason();

// Creates a FIFO at `path`. Returns false on a system whose file system has none (the test
// then skips, saying so); throws when creating it fails on a system that has them.
bool MakeFifo(const std::filesystem::path& path);

// Why file names that are not UTF-8 cannot exist on this system (Windows keeps names in
// UTF-16), or empty when they can.
std::string NonUtf8NamesSkipReason();

// Why file names with control characters (ESC, BEL) cannot exist on this system (Windows
// refuses them), or empty when they can.
std::string ControlCharacterNamesSkipReason();

// True when two names that differ only in letter case are two entries in the file system
// that holds `folder` (not on Windows' file systems, nor on some others).
bool NamesDifferingInCaseCoexist(const std::filesystem::path& folder);

// Why this system has no FIFOs, /dev/null or /dev/fd/N to write a report into (Windows names
// its devices differently; those have tests of their own), or empty when it has them.
std::string PosixDevicesSkipReason();

// Sets the permission bits of `path` as chmod does; false when that fails. On Windows only
// the owner's write bit means something: without it the file becomes read-only.
bool SetFileMode(const std::filesystem::path& path, unsigned mode);

// The permission bits of `path` (mode & 0777), or std::nullopt on a system whose files have
// none (Windows).
std::optional<unsigned> PermissionBits(const std::filesystem::path& path);

// How many entries `folder` holds, so a test can tell that no temporary file was left.
inline std::size_t EntryCount(const std::filesystem::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// The process's file creation mask (0 where there is none).
unsigned ProcessUmask();

// Creates the symbolic link `link` to `target` (a path relative to the link's folder, with
// '/' between names). Returns false on a system where links cannot be created (the test then
// skips, saying so); throws when creating one fails on a system that has them.
bool MakeSymlink(const std::string& target, const std::filesystem::path& link);

}  // namespace quintrel::testing
