#include "support/deep_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

namespace quintrel::testing {

namespace {

int OpenFolderAt(int base, const char* name) {
  const int fd = openat(base, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(std::string("cannot open folder ") + name);
  return fd;
}

}  // namespace

std::string MakeDeepFolders(const std::filesystem::path& top, const std::string& folder, int depth,
                            const std::string& file, std::string_view bytes) {
  int fd = OpenFolderAt(AT_FDCWD, top.c_str());
  std::string relative;
  for (int level = 0; level < depth; ++level) {
    if (mkdirat(fd, folder.c_str(), 0755) != 0 && errno != EEXIST) {
      close(fd);
      throw std::runtime_error("mkdirat failed");
    }
    const int child = OpenFolderAt(fd, folder.c_str());
    close(fd);
    fd = child;
    relative += folder + "/";
  }
  const int out = openat(fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  close(fd);
  if (out < 0) throw std::runtime_error("cannot create the deep file");
  const bool written = write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  close(out);
  if (!written) throw std::runtime_error("cannot write the deep file");
  return relative + file;
}

std::string DeepPathSkipReason(std::size_t) {
  return {};  // every folder is made relative to its parent
}

void RemoveDeepFolders(const std::filesystem::path& top, const std::string& folder,
                       const std::string& file) {
  const int topFd = OpenFolderAt(AT_FDCWD, top.c_str());
  const std::string spare = folder + ".next";
  for (;;) {
    const int head = openat(topFd, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (head < 0) break;
    unlinkat(head, file.c_str(), 0);
    const bool hasChild = renameat(head, folder.c_str(), topFd, spare.c_str()) == 0;
    close(head);
    unlinkat(topFd, folder.c_str(), AT_REMOVEDIR);
    if (!hasChild || renameat(topFd, spare.c_str(), topFd, folder.c_str()) != 0) break;
  }
  close(topFd);
}

}  // namespace quintrel::testing
