// Directory enumeration and the current directory on POSIX systems.

#include <dirent.h>
#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "compare/catalogue.h"

namespace quintrel {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

ScanStatus ScanFolder(const std::string& folder, std::vector<std::string>& names) {
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
    if (IsSourceFileName(entry->d_name)) names.emplace_back(entry->d_name);
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
