// Writing a report on Windows: atomic replacement of a regular file, or writing straight
// into a device ("NUL", "CON", "\\.\pipe\name", ...). Failures are described with the C
// runtime's texts for the matching errno, as the POSIX side describes them, so that the
// messages read the same on both systems.

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "compare/reports/csv_report.h"
#include "engine/system_path_win.h"

namespace quintrel {

namespace {

// Windows errors that have an errno counterpart; others are described by the system.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return 0;
  }
}

std::string Reason(DWORD error) {
  if (const int number = ErrnoOf(error)) return std::strerror(number);
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view message(text != nullptr ? text : L"", length);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L'.' || message.back() == L' ')) {
    message.remove_suffix(1);
  }
  std::string reason =
      message.empty() ? "system error " + std::to_string(error) : NarrowToUtf8(message);
  ::LocalFree(text);
  return reason;
}

// The detail names the step, if any, and the system's reason; never the path, which the
// caller shows beside it.
WriteOutcome Failure(WriteFailure failure, const std::string& what, DWORD error) {
  return {failure, what + ": " + Reason(error)};
}

WriteOutcome Failure(WriteFailure failure, DWORD error) {
  return {failure, Reason(error)};
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }

  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }
  bool Close() {
    const HANDLE handle = m_handle;
    m_handle = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || ::CloseHandle(handle) != 0;
  }

 private:
  HANDLE m_handle;
};

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x | 0x20) == (y | 0x20);
         });
}

// The names Windows keeps for its devices in every folder, with or without an extension
// ("NUL", "nul.txt", "C:\x\CON"), and the device namespace "\\.\".
bool IsDevicePath(const std::string& path) {
  if (path.starts_with("\\\\.\\") || path.starts_with("//./")) return true;
  std::string_view name(path);
  if (const std::size_t slash = name.find_last_of("/\\:"); slash != std::string_view::npos) {
    name.remove_prefix(slash + 1);
  }
  name = name.substr(0, name.find('.'));
  for (std::string_view device : {"NUL", "CON", "PRN", "AUX", "CONIN$", "CONOUT$"}) {
    if (EqualsNoCase(name, device)) return true;
  }
  const bool numbered = name.size() == 4 && name[3] >= '1' && name[3] <= '9';
  return numbered &&
         (EqualsNoCase(name.substr(0, 3), "COM") || EqualsNoCase(name.substr(0, 3), "LPT"));
}

// Writes into a device as it is: no temporary file, no truncation.
WriteOutcome WriteInPlace(const std::string& path, std::string_view bytes) {
  Handle device(::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr));
  if (!device.valid()) return Failure(WriteFailure::kCannotCreate, ::GetLastError());
  if (!WriteAll(device.get(), bytes)) {
    return Failure(WriteFailure::kWriteFailed, "cannot write", ::GetLastError());
  }
  if (!device.Close()) return Failure(WriteFailure::kWriteFailed, "cannot close", ::GetLastError());
  return {};
}

// A new file beside `path` that no one else uses: its name is `path` with a suffix that
// changes until the system creates the file.
Handle CreateTemporary(const std::string& path, std::string& temporary) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  unsigned long long seed = ::GetTickCount64() ^ (std::uint64_t{::GetCurrentProcessId()} << 32) ^
                            std::uint64_t{::GetCurrentThreadId()} << 16;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".";
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    for (unsigned long long value = seed >> 16, i = 0; i < 6; ++i, value /= 36) {
      temporary += kDigits[value % 36];
    }
    HANDLE handle = ::CreateFileW(SystemPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
      return Handle(handle);
    }
  }
  return Handle(INVALID_HANDLE_VALUE);
}

// Fills, secures and closes the temporary file; returns the failure, if any.
WriteOutcome FinishTemporary(Handle& file, std::string_view bytes) {
  WriteOutcome outcome;
  if (!WriteAll(file.get(), bytes)) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot write", ::GetLastError());
  } else if (!::FlushFileBuffers(file.get())) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot flush", ::GetLastError());
  }
  if (!file.Close() && outcome.ok()) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot close", ::GetLastError());
  }
  return outcome;
}

// Attributes a replaced report keeps (the read-only one never gets this far).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

WriteOutcome WriteReportFile(const std::string& path, std::string_view bytes) {
  if (IsDevicePath(path)) return WriteInPlace(path, bytes);
  return WriteFileAtomically(path, bytes);
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (IsDevicePath(path)) return {WriteFailure::kCannotCreate, "not a regular file"};
  const std::wstring target = SystemPath(path);
  const DWORD existing = ::GetFileAttributesW(target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return {WriteFailure::kCannotCreate, std::strerror(EISDIR)};
    }
    // A report marked read-only stays: the replacement below would go through regardless.
    if ((existing & FILE_ATTRIBUTE_READONLY) != 0) {
      return Failure(WriteFailure::kCannotCreate, ERROR_ACCESS_DENIED);
    }
  }
  std::string temporary;
  Handle file = CreateTemporary(path, temporary);
  if (!file.valid()) return Failure(WriteFailure::kCannotCreate, ::GetLastError());

  const std::wstring temporaryPath = SystemPath(temporary);
  WriteOutcome outcome = FinishTemporary(file, bytes);
  if (outcome.ok() && existing != INVALID_FILE_ATTRIBUTES) {
    ::SetFileAttributesW(temporaryPath.c_str(), existing & kKeptAttributes);
  }
  if (outcome.ok() && !::MoveFileExW(temporaryPath.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot replace the file", ::GetLastError());
  }
  if (!outcome.ok()) ::DeleteFileW(temporaryPath.c_str());
  return outcome;
}

}  // namespace quintrel
