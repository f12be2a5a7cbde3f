// The parts of the test folders that need POSIX calls.
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "temp_dir.h"

namespace quintrel::testing {

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quintrel-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = buffer.data();
}

void SetModificationTime(const std::filesystem::path& path, long long seconds) {
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_nsec = 0;
  times[1] = times[0];
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set the time of " + path.string());
  }
}

namespace {

// Whether the kernel lets this process past read, write and search permissions: root has
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH unless they were dropped (as the unprivileged
// pass does when it must stay root), so the effective capabilities decide, not the user id.
bool OverridesPermissions() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    unsigned long long effective = 0;
    if (std::sscanf(line.c_str(), "CapEff: %llx", &effective) == 1) {
      constexpr unsigned long long kDacOverride = 1ull << 1;
      constexpr unsigned long long kDacReadSearch = 1ull << 2;
      return (effective & (kDacOverride | kDacReadSearch)) != 0;
    }
  }
  return geteuid() == 0;
}

// Whether `name` matches the --gtest_filter style list `patterns` ("A.b:C.*").
bool MatchesAnyPattern(const std::string& name, const std::string& patterns) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = std::min(patterns.find(':', start), patterns.size());
    const std::string pattern = patterns.substr(start, end - start);
    if (!pattern.empty() && fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool IgnoresFilePermissions() {
  if (!OverridesPermissions()) return false;
  if (std::getenv("QUINTREL_UNPRIVILEGED_PASS") != nullptr) {
    ADD_FAILURE() << "file permissions are ignored in the unprivileged pass";
    return true;
  }
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const char* covered = std::getenv("QUINTREL_UNPRIVILEGED_TESTS");
  if (test != nullptr && covered != nullptr) {
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    if (!MatchesAnyPattern(name, covered)) {
      ADD_FAILURE() << name << " needs file permissions, which root ignores, but the "
                    << "unprivileged pass does not run it: list it in its folder's CMakeLists.txt";
    }
  }
  return true;
}

std::string FilePermissionsSkipReason() {
  return IgnoresFilePermissions() ? "permissions are not enforced for root" : "";
}

bool MakeFifo(const std::filesystem::path& path) {
  if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed: " + path.string());
  return true;
}

std::string NonUtf8NamesSkipReason() {
  return {};
}

std::string ControlCharacterNamesSkipReason() {
  return {};
}

std::string PosixDevicesSkipReason() {
  return {};
}

bool SetFileMode(const std::filesystem::path& path, unsigned mode) {
  return chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

std::optional<unsigned> PermissionBits(const std::filesystem::path& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) throw std::runtime_error("stat failed: " + path.string());
  return status.st_mode & 0777;
}

unsigned ProcessUmask() {
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

bool MakeSymlink(const std::string& target, const std::filesystem::path& link) {
  if (symlink(target.c_str(), link.c_str()) != 0) {
    throw std::runtime_error("symlink failed: " + link.string());
  }
  return true;
}

}  // namespace quintrel::testing
