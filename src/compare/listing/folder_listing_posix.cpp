// Directory enumeration and the current directory on POSIX systems.

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "compare/listing/catalogue.h"
#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"

namespace quintrel {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Folders of a tree kept open, at most kMaxOpen, the least recently used closed first.
class OpenFolders {
 public:
  OpenFolders() = default;
  OpenFolders(const OpenFolders&) = delete;
  OpenFolders& operator=(const OpenFolders&) = delete;
  ~OpenFolders() {
    for (const Open& open : m_open) close(open.fd);
  }

  int Find(std::string_view path) {
    for (Open& open : m_open) {
      if (open.path == path) {
        open.lastUse = ++m_clock;
        return open.fd;
      }
    }
    return -1;
  }

  // Takes `fd` over; it stays valid at least until the next Remember.
  int Remember(std::string path, int fd) {
    if (m_open.size() == kMaxOpen) {
      auto oldest =
          std::min_element(m_open.begin(), m_open.end(),
                           [](const Open& a, const Open& b) { return a.lastUse < b.lastUse; });
      close(oldest->fd);
      m_open.erase(oldest);
    }
    m_open.push_back({std::move(path), fd, ++m_clock});
    return fd;
  }

 private:
  static constexpr std::size_t kMaxOpen = 16;
  struct Open {
    std::string path;
    int fd;
    unsigned long long lastUse;
  };
  std::vector<Open> m_open;
  unsigned long long m_clock = 0;
};

// Links are followed only for names that could become file rows: a link never counts as a
// folder to enter, but a link to a folder is no file either.
bool IsFolderBehindLink(int folderFd, const char* name) {
  struct stat info;
  return fstatat(folderFd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

// Sorts one entry of a tree's folder into `level`. In a folder that can be listed but not
// entered, nothing can be looked up: an entry of unknown kind is then taken as the flat
// listing takes every name, a file when named like a source (one that cannot be read), and
// a folder among them would have listed as empty anyway.
void AddEntry(int folderFd, const dirent& entry, const std::vector<std::string>& extensions,
              FolderLevel& level) {
  const char* name = entry.d_name;
  unsigned char type = entry.d_type;
  if (type == DT_UNKNOWN) {
    struct stat info;
    if (fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
    }
  }
  if (type == DT_DIR) {
    level.folders.emplace_back(name);
  } else if (HasAcceptedExtension(name, extensions)) {
    if (type != DT_LNK || !IsFolderBehindLink(folderFd, name)) level.files.emplace_back(name);
  }
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

char TreePathSeparator() {
  return '/';
}

struct FolderTreeReader::Handles {
  std::string top;
  std::vector<std::string> extensions;
  int topFd = -1;
  OpenFolders below;

  ~Handles() {
    if (topFd >= 0) close(topFd);
  }

  // The folder at `relative`, opened from its deepest ancestor still open; -1 when a folder
  // on the way cannot be opened (or has become a link since it was listed).
  int OpenFolder(const std::string& relative) {
    if (relative.empty()) return topFd;
    if (int fd = below.Find(relative); fd >= 0) return fd;
    int base = topFd;
    std::size_t known = 0;  // length of the part of `relative` that `base` stands for
    for (std::size_t slash = relative.rfind('/'); slash != std::string::npos && slash > 0;
         slash = relative.rfind('/', slash - 1)) {
      if (int fd = below.Find(std::string_view(relative).substr(0, slash)); fd >= 0) {
        base = fd;
        known = slash + 1;
        break;
      }
    }
    while (known < relative.size()) {
      std::size_t end = relative.find('/', known);
      if (end == std::string::npos) end = relative.size();
      const std::string name = relative.substr(known, end - known);
      const int fd = openat(base, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) return -1;
      base = below.Remember(relative.substr(0, end), fd);
      known = end + 1;
    }
    return base;
  }
};

FolderTreeReader::FolderTreeReader(const std::string& top,
                                   const std::vector<std::string>& extensions)
    : m_handles(std::make_unique<Handles>()) {
  m_handles->top = top;
  m_handles->extensions = extensions;
}

FolderTreeReader::~FolderTreeReader() = default;

bool FolderTreeReader::OpenTop() {
  if (m_handles->top.empty()) return true;
  m_handles->topFd = open(m_handles->top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return m_handles->topFd >= 0;
}

FolderLevel FolderTreeReader::List(const std::string& relative) {
  FolderLevel level;
  if (m_handles->topFd < 0) return level;
  const int folderFd = m_handles->OpenFolder(relative);
  if (folderFd < 0) return level;
  // A duplicate for the stream to own, not a reopening of ".": that would need search
  // permission, which a folder that can be listed but not entered lacks. The duplicate
  // shares the read position, so the stream starts from the beginning whatever came before.
  const int listFd = fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  if (listFd < 0) return level;
  const std::unique_ptr<DIR, DirCloser> dir(fdopendir(listFd));
  if (!dir) {
    close(listFd);
    return level;
  }
  rewinddir(dir.get());
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) break;
    if (!IsDotOrDotDot(entry->d_name)) AddEntry(folderFd, *entry, m_handles->extensions, level);
  }
  if (errno != 0) return FolderLevel{};  // not read through: counts as empty
  std::sort(level.files.begin(), level.files.end());
  std::sort(level.folders.begin(), level.folders.end());
  return level;
}

ScanStatus ScanFolder(const std::string& folder, std::vector<std::string>& names,
                      const std::vector<std::string>& extensions) {
  names.clear();
  if (folder.empty()) return ScanStatus::kListed;
  const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return ScanStatus::kCannotOpen;
  int error = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      error = errno;
      break;
    }
    if (HasAcceptedExtension(entry->d_name, extensions)) names.emplace_back(entry->d_name);
  }
  // A folder that opened but could not be read through counts as empty, never as a part.
  if (error != 0) names.clear();
  std::sort(names.begin(), names.end());
  return ScanStatus::kListed;
}

std::string ResolveFolderText(const std::string& text) {
  if (text.empty() || text.front() == '/') return text;
  std::string cwd(256, '\0');
  while (getcwd(cwd.data(), cwd.size()) == nullptr) {
    if (errno != ERANGE) return text;  // no current directory to resolve against
    cwd.resize(cwd.size() * 2);
  }
  cwd.resize(cwd.find('\0'));
  if (cwd.back() != '/') cwd.push_back('/');
  return cwd + text;
}

}  // namespace quintrel
