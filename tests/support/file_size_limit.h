#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quintrel::testing {

// Lets no file of this process grow beyond `bytes` (RLIMIT_FSIZE) while the object lives, so
// that a test can run out of room for a file without a full disk and without root: a write
// past the limit fails with EFBIG (SIGXFSZ, which would end the process, is ignored meanwhile).
// Files only: pipes and terminals are not limited. The earlier limit and signal action come
// back when the object goes out of scope.
class ScopedFileSizeLimit {
 public:
  // Why no limit can be set on this system (the test then skips, saying so); empty where
  // it can.
  static std::string SkipReason();

  explicit ScopedFileSizeLimit(std::size_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  struct Previous;
  std::unique_ptr<Previous> m_previous;
};

}  // namespace quintrel::testing
