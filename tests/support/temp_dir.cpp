#include "temp_dir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace quintrel::testing {

ScopedTempDir::~ScopedTempDir() {
  std::error_code error;
  // Give back permissions that tests took away, so everything can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           m_path, std::filesystem::directory_options::skip_permission_denied, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(m_path, error);
}

std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8String(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::filesystem::path ScopedTempDir::Write(const std::string& relative,
                                           std::string_view bytes) const {
  std::filesystem::path full = m_path / Utf8Path(relative);
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + Utf8String(full));
  return full;
}

std::filesystem::path ScopedTempDir::MakeDir(const std::string& relative) const {
  std::filesystem::path full = m_path / Utf8Path(relative);
  std::filesystem::create_directories(full);
  return full;
}

bool NamesDifferingInCaseCoexist(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / "case-probe";
  std::ofstream(probe).put('x');
  const bool coexist = !std::filesystem::exists(folder / "CASE-PROBE");
  std::filesystem::remove(probe);
  return coexist;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quintrel::testing
