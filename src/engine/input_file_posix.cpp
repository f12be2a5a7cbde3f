// POSIX implementation of the engine's file access (a Windows build would provide
// input_file_win32.cpp with the same functions).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include "engine/input_file.h"

namespace quintrel {

namespace {

// Chunk used once the buffer sized from the file's status is full: it confirms the end of
// the file and catches files that report a wrong size (growing files, /proc entries).
constexpr std::size_t kTailChunk = 16 * 1024;

FileStatus StatusFrom(const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return FileStatus{};
  return FileStatus{static_cast<std::int64_t>(info.st_size),
                    static_cast<std::int64_t>(info.st_mtim.tv_sec)};
}

// read() that retries when a signal interrupts it.
ssize_t ReadSome(int handle, unsigned char* buffer, std::size_t size) {
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

InputFile::InputFile(InputFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_status(other.m_status) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) ::close(m_handle);
    m_handle = std::exchange(other.m_handle, -1);
    m_status = other.m_status;
  }
  return *this;
}

InputFile::~InputFile() {
  if (m_handle >= 0) ::close(m_handle);
}

bool InputFile::ReadAll(ByteBuffer& bytes, std::size_t maxBytes) {
  bytes.clear();
  FileStatus status = Status();
  if (status.size > 0 && static_cast<std::uint64_t>(status.size) > maxBytes) return false;
  bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(status.size, 0)));

  std::size_t filled = 0;
  bool anyRead = false;
  for (;;) {
    // Once the reported size is used up, read into a small side buffer: usually it only
    // confirms the end, so the main buffer is never reallocated for a well-behaved file.
    unsigned char tail[kTailChunk];
    bool intoTail = filled == bytes.size();
    unsigned char* target = intoTail ? tail : bytes.data() + filled;
    ssize_t count = ReadSome(m_handle, target, intoTail ? sizeof tail : bytes.size() - filled);
    if (count < 0 && !anyRead) {
      bytes.clear();
      return false;
    }
    if (count <= 0) break;  // end of file, or a later error: keep what was read
    anyRead = true;
    if (intoTail) bytes.insert(bytes.end(), tail, tail + count);
    filled += static_cast<std::size_t>(count);
    if (filled > maxBytes) {
      bytes.clear();
      bytes.shrink_to_fit();
      return false;
    }
  }
  bytes.resize(filled);
  return true;
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
