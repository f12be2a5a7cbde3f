#include "support/file_size_limit.h"

#include <stdexcept>

namespace quintrel::testing {

struct ScopedFileSizeLimit::Previous {};

std::string ScopedFileSizeLimit::SkipReason() {
  return "Windows has no limit on the size of a process's files (RLIMIT_FSIZE)";
}

ScopedFileSizeLimit::ScopedFileSizeLimit(std::size_t) {
  throw std::logic_error(SkipReason());
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() = default;

}  // namespace quintrel::testing
