// POSIX side of the engine's file access (input_file_win.cpp is the Windows side; what both
// share is in input_file.cpp).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "engine/input_file.h"

namespace quintrel {

namespace {

FileStatus StatusFrom(const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return FileStatus{};
  return FileStatus{static_cast<std::int64_t>(info.st_size),
                    static_cast<std::int64_t>(info.st_mtim.tv_sec)};
}

// read() that retries when a signal interrupts it.
ssize_t ReadRetrying(int handle, unsigned char* buffer, std::size_t size) {
  ssize_t result;
  do {
    result = ::read(handle, buffer, size);
  } while (result < 0 && errno == EINTR);
  return result;
}

// A folder descriptor that closes itself; AT_FDCWD stands for the current directory.
class FolderHandle {
 public:
  FolderHandle() = default;
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  ~FolderHandle() { Reset(AT_FDCWD); }

  int get() const { return m_fd; }
  void Reset(int fd) {
    if (m_fd != AT_FDCWD) ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd = AT_FDCWD;
};

#ifdef O_PATH
constexpr int kPassThroughFlags = O_PATH;  // needs only search permission, like a path does
#else
constexpr int kPassThroughFlags = O_RDONLY;
#endif

// For a path the system refuses as too long (the files deep in a tree): opens the folders of
// its first parts, each part shorter than PATH_MAX and ending at a '/', one relative to the
// other, as the system would resolve the whole path. Leaves in `folder` the folder that the
// returned rest of the path is relative to; false when a folder on the way cannot be opened.
bool OpenLongPathFolder(std::string_view path, FolderHandle& folder, std::string& rest) {
  while (path.size() >= PATH_MAX) {
    const std::size_t slash = path.rfind('/', PATH_MAX - 2);
    if (slash == std::string_view::npos) return false;  // one name longer than any path
    const std::string part(path.substr(0, slash + 1));
    const int fd =
        ::openat(folder.get(), part.c_str(), kPassThroughFlags | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    folder.Reset(fd);
    path.remove_prefix(slash + 1);
  }
  rest.assign(path);
  return true;
}

// open() that also reaches paths longer than PATH_MAX.
int OpenPath(const std::string& path, int flags) {
  const int handle = ::open(path.c_str(), flags);
  if (handle >= 0 || errno != ENAMETOOLONG) return handle;
  FolderHandle folder;
  std::string rest;
  if (!OpenLongPathFolder(path, folder, rest)) return -1;
  return ::openat(folder.get(), rest.c_str(), flags);
}

// stat() that also reaches paths longer than PATH_MAX.
int StatPath(const std::string& path, struct stat& info) {
  const int result = ::stat(path.c_str(), &info);
  if (result == 0 || errno != ENAMETOOLONG) return result;
  FolderHandle folder;
  std::string rest;
  if (!OpenLongPathFolder(path, folder, rest)) return -1;
  return ::fstatat(folder.get(), rest.c_str(), &info, 0);
}

}  // namespace

std::optional<InputFile> InputFile::Open(const std::string& path) {
  // O_NONBLOCK keeps a FIFO named like a source file from blocking the open; it is cleared
  // again below and has no effect on regular files anyway.
  int handle = OpenPath(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (handle < 0) return std::nullopt;
  InputFile file(handle);
  struct stat info;
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  file.m_status = StatusFrom(info);
  ::fcntl(handle, F_SETFL, 0);  // of the flags F_SETFL changes, only O_NONBLOCK was set
  return file;
}

std::int64_t InputFile::ReadSome(unsigned char* buffer, std::size_t size) {
  return ReadRetrying(m_handle, buffer, size);
}

void InputFile::Close(int handle) {
  ::close(handle);
}

FileStatus QueryStatus(const std::string& path) {
  struct stat info;
  if (StatPath(path, info) != 0) return FileStatus{};
  return StatusFrom(info);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

}  // namespace quintrel
