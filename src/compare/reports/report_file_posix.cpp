// Writing a report on POSIX systems: atomic replacement of a regular file, or writing
// straight into a device or FIFO.

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>
#include <string_view>

#include "compare/reports/csv_report.h"

namespace quintrel {

namespace {

// The detail names the step, if any, and the system's reason; never the path, which the
// caller shows beside it.
WriteOutcome Failure(WriteFailure failure, const std::string& what, int error) {
  return {failure, what + ": " + strerror(error)};
}

WriteOutcome Failure(WriteFailure failure, int error) {
  return {failure, strerror(error)};
}

// The process's file creation mask. umask() can only be read by setting it, which races
// with other threads creating files, so the kernel's report is preferred.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    unsigned mask = 0;
    if (std::sscanf(line.c_str(), "Umask: %o", &mask) == 1) return static_cast<mode_t>(mask);
  }
  static std::mutex mutex;
  const std::lock_guard<std::mutex> lock(mutex);
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here loses nothing already reported.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Fills, secures and closes the temporary file; returns the failure, if any.
WriteOutcome FinishTemporary(int fd, std::string_view bytes, mode_t mode) {
  WriteOutcome outcome;
  if (!WriteAll(fd, bytes)) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot write", errno);
  } else if (fchmod(fd, mode) != 0) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot set permissions", errno);
  } else if (fsync(fd) != 0) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot flush", errno);
  }
  if (close(fd) != 0 && outcome.ok()) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot close", errno);
  }
  return outcome;
}

// Writes into an existing device or FIFO as it is: no temporary file, no truncation.
WriteOutcome WriteInPlace(const std::string& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Failure(WriteFailure::kCannotCreate, errno);
  WriteOutcome outcome;
  if (!WriteAll(fd, bytes)) outcome = Failure(WriteFailure::kWriteFailed, "cannot write", errno);
  if (close(fd) != 0 && outcome.ok()) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot close", errno);
  }
  return outcome;
}

// The open descriptor a path stands for: /dev/stdout, /dev/stderr, /dev/fd/N and
// /proc/self/fd/N. Opening such a path anew would start at offset 0 of a redirected file and
// overwrite what the process wrote there, and replacing it would replace a link of the system.
std::optional<int> DescriptorOfPath(const std::string& path) {
  if (path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!path.starts_with(folder)) continue;
    const std::string_view number = std::string_view(path).substr(folder.size());
    int fd = -1;
    const char* end = number.data() + number.size();
    auto [ptr, ec] = std::from_chars(number.data(), end, fd);
    if (!number.empty() && ec == std::errc() && ptr == end) return fd;
  }
  return std::nullopt;
}

WriteOutcome WriteToDescriptor(int fd, std::string_view bytes) {
  if (fcntl(fd, F_GETFL) < 0) return Failure(WriteFailure::kCannotCreate, errno);
  if (!WriteAll(fd, bytes)) return Failure(WriteFailure::kWriteFailed, "cannot write", errno);
  return {};
}

}  // namespace

WriteOutcome WriteReportFile(const std::string& path, std::string_view bytes) {
  if (const std::optional<int> fd = DescriptorOfPath(path)) return WriteToDescriptor(*fd, bytes);
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
      !S_ISDIR(existing.st_mode)) {
    return WriteInPlace(path, bytes);
  }
  return WriteFileAtomically(path, bytes);
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
  mode_t mode = 0666 & ~CurrentUmask();
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) return Failure(WriteFailure::kCannotCreate, EISDIR);
    // Only a regular file is replaced: renaming over a device or a FIFO (/dev/null, say, when
    // run as root) would leave a plain file in its place.
    if (!S_ISREG(existing.st_mode)) {
      return {WriteFailure::kCannotCreate, "not a regular file"};
    }
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
      return Failure(WriteFailure::kCannotCreate, errno);
    }
    // A report marked read-only stays, even for a user whom the system lets write anyway:
    // the rename below would replace it regardless of its mode.
    if ((existing.st_mode & 0222) == 0) return Failure(WriteFailure::kCannotCreate, EACCES);
    mode = existing.st_mode & 07777;
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return Failure(WriteFailure::kCannotCreate, errno);

  WriteOutcome outcome = FinishTemporary(fd, bytes, mode);
  if (outcome.ok() && rename(temporary.c_str(), path.c_str()) != 0) {
    outcome = Failure(WriteFailure::kWriteFailed, "cannot replace the file", errno);
  }
  if (!outcome.ok()) {
    unlink(temporary.c_str());
    return outcome;
  }
  SyncFolder(FolderOf(path));
  return outcome;
}

}  // namespace quintrel
