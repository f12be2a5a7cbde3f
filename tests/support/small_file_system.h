#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quintrel::testing {

// A tiny file system of its own (tmpfs) mounted on a fresh folder, so that a test can run
// out of disk space without touching any other file system. Mounting needs root; when it
// fails, mounted() is false and the test should skip. Unmounted and removed when the
// object goes out of scope.
class ScopedSmallFileSystem {
 public:
  explicit ScopedSmallFileSystem(std::size_t bytes);
  ~ScopedSmallFileSystem();
  ScopedSmallFileSystem(const ScopedSmallFileSystem&) = delete;
  ScopedSmallFileSystem& operator=(const ScopedSmallFileSystem&) = delete;

  bool mounted() const { return m_mounted; }
  const std::string& reason() const { return m_reason; }  // why mounting failed
  const std::filesystem::path& path() const { return m_dir.path(); }

  // Writes filler files until the file system refuses more, so that no block is left.
  void Fill() const;

 private:
  ScopedTempDir m_dir;
  bool m_mounted = false;
  std::string m_reason;
};

}  // namespace quintrel::testing
