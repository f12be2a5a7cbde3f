#include "support/small_file_system.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/mount.h>
#include <unistd.h>

#include <vector>

namespace quintrel::testing {

ScopedSmallFileSystem::ScopedSmallFileSystem(std::size_t bytes) {
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (mount("tmpfs", m_dir.str().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
    m_mounted = true;
  } else {
    m_reason = std::string("cannot mount a tmpfs: ") + strerror(errno);
  }
}

ScopedSmallFileSystem::~ScopedSmallFileSystem() {
  // A lazy unmount still succeeds when something below is open; the folder is then empty
  // again and ScopedTempDir removes it.
  if (m_mounted && umount2(m_dir.str().c_str(), 0) != 0) umount2(m_dir.str().c_str(), MNT_DETACH);
}

void ScopedSmallFileSystem::Fill() const {
  const std::vector<char> block(4096, 'f');
  for (int index = 0;; ++index) {
    const std::string name = (path() / ("filler" + std::to_string(index))).string();
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;  // not even an inode left
    bool wroteAny = false;
    while (write(fd, block.data(), block.size()) > 0) wroteAny = true;
    close(fd);
    if (!wroteAny) return;
  }
}

}  // namespace quintrel::testing
