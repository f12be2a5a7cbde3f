#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace quintrel::testing {

// Reads a FIFO on its own thread until every writer has closed it. Finish() returns what
// arrived; when nothing ever opened the FIFO for writing (the code under test refused it),
// Finish() opens and closes it once itself, so the reader ends instead of waiting forever.
class FifoReader {
 public:
  explicit FifoReader(std::filesystem::path fifo);
  ~FifoReader();
  FifoReader(const FifoReader&) = delete;
  FifoReader& operator=(const FifoReader&) = delete;

  // Call after the code under test has written and closed its end.
  std::string Finish();

 private:
  std::filesystem::path m_fifo;
  std::string m_received;
  std::atomic<bool> m_done{false};
  std::thread m_thread;
};

}  // namespace quintrel::testing
