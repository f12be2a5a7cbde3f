// Windows implementation of the engine's file access. Paths arrive as UTF-8 and are opened
// by their UTF-16 form, so every name the file system holds can be reached. The open handle
// is kept as a C runtime descriptor, which is what the shared class stores.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "engine/input_file.h"
#include "engine/system_path_win.h"

namespace quintrel {

namespace {

// Seconds between 1601-01-01 (FILETIME's epoch) and 1970-01-01.
constexpr std::int64_t kEpochDifference = 11'644'473'600;
constexpr std::int64_t kTicksPerSecond = 10'000'000;

// Whole seconds since 1970, rounded down as the C runtime's _stat reports them.
std::int64_t UnixSeconds(const FILETIME& time) {
  const auto ticks =
      static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
  return ticks / kTicksPerSecond - kEpochDifference;
}

FileStatus StatusFrom(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileStatus{};
  }
  const auto size =
      static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  return FileStatus{size, UnixSeconds(info.ftLastWriteTime)};
}

// Other programs may go on writing, renaming or deleting the file while it is read.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD flags) {
  return ::CreateFileW(SystemPath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

}  // namespace

std::optional<InputFile> InputFile::Open(const std::string& path) {
  HANDLE handle = OpenHandle(path, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const FileStatus status = StatusFrom(handle);
  if (status.size < 0) {
    ::CloseHandle(handle);
    return std::nullopt;
  }
  const int descriptor =
      ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) {
    ::CloseHandle(handle);
    return std::nullopt;
  }
  InputFile file(descriptor);  // closing the descriptor closes the handle
  file.m_status = status;
  return file;
}

std::int64_t InputFile::ReadSome(unsigned char* buffer, std::size_t size) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_handle));
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  DWORD count = 0;
  if (::ReadFile(handle, buffer, chunk, &count, nullptr) == 0) return -1;
  return count;
}

void InputFile::Close(int handle) {
  ::_close(handle);
}

FileStatus QueryStatus(const std::string& path) {
  // No access asked for: the status is readable even when the content is not. Backup
  // semantics let a folder open too, so that it is recognised and refused.
  HANDLE handle = OpenHandle(path, 0, FILE_FLAG_BACKUP_SEMANTICS);
  if (handle == INVALID_HANDLE_VALUE) return FileStatus{};
  const FileStatus status = StatusFrom(handle);
  ::CloseHandle(handle);
  return status;
}

// Windows takes '/' as well as '\', so names are joined as on every other system; a folder
// that already ends in a separator, or a bare drive ("C:"), gets none.
std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '/' || last == '\\' || last == ':') return folder + name;
  return folder + '/' + name;
}

}  // namespace quintrel
