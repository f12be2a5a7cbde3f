#include "support/fifo_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

namespace quintrel::testing {

FifoReader::FifoReader(std::filesystem::path fifo) : m_fifo(std::move(fifo)) {
  m_thread = std::thread([this] {
    const int fd = open(m_fifo.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      char buffer[4096];
      for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) m_received.append(buffer, n);
      close(fd);
    }
    m_done = true;
  });
}

FifoReader::~FifoReader() {
  if (m_thread.joinable()) Finish();
}

std::string FifoReader::Finish() {
  // A non-blocking open for writing succeeds only once the reader waits in its open; until
  // then it fails, and is tried again.
  while (!m_done) {
    const int fd = open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      close(fd);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  m_thread.join();
  return m_received;
}

}  // namespace quintrel::testing
