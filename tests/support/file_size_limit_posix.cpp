#include "support/file_size_limit.h"

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quintrel::testing {

struct ScopedFileSizeLimit::Previous {
  struct rlimit limit {};
  struct sigaction action {};
};

std::string ScopedFileSizeLimit::SkipReason() {
  return {};
}

ScopedFileSizeLimit::ScopedFileSizeLimit(std::size_t bytes)
    : m_previous(std::make_unique<Previous>()) {
  struct rlimit& m_previousLimit = m_previous->limit;
  struct sigaction& m_previousAction = m_previous->action;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  if (getrlimit(RLIMIT_FSIZE, &m_previousLimit) != 0 ||
      sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0) {
    throw std::runtime_error(std::string("cannot limit the file size: ") + std::strerror(errno));
  }
  // Only the soft limit changes, so that an ordinary user can raise it again afterwards.
  struct rlimit limit = m_previousLimit;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_cur > limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
  }
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
    const int error = errno;
    sigaction(SIGXFSZ, &m_previousAction, nullptr);
    throw std::runtime_error(std::string("cannot limit the file size: ") + std::strerror(error));
  }
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &m_previous->limit);
  sigaction(SIGXFSZ, &m_previous->action, nullptr);
}

}  // namespace quintrel::testing
