#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "engine/large_block.h"

namespace quintrel::fuzz {

// A folder with "old" and "new" subfolders for the files of one input, made once per
// process and removed at its end.
class PairFolders {
 public:
  PairFolders() {
    // create_directory reports whether it made the folder, so a taken name is never shared.
    std::random_device random;
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && m_root.empty() && !error; ++attempt) {
      const auto candidate = temp / ("quintrel-fuzz-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) m_root = candidate;
    }
    if (m_root.empty()) return;
    std::filesystem::create_directory(m_root / "old");
    std::filesystem::create_directory(m_root / "new");
  }
  ~PairFolders() {
    std::error_code ignored;
    if (!m_root.empty()) std::filesystem::remove_all(m_root, ignored);
  }
  PairFolders(const PairFolders&) = delete;
  PairFolders& operator=(const PairFolders&) = delete;

  bool usable() const { return !m_root.empty(); }
  std::string Folder(const char* side) const { return (m_root / side).string(); }
  // A file beside the two folders.
  std::string PathBeside(const char* name) const { return (m_root / name).string(); }

  // Writes (or removes, for an absent version) the file `name` in `side`, with the given
  // modification time in whole seconds.
  void Place(const char* side, const std::optional<ByteBuffer>& bytes, long long mtime) const {
    const std::filesystem::path path = m_root / side / kName;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (!bytes) return;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
    const std::chrono::sys_seconds time{std::chrono::seconds{mtime}};
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(time), ignored);
  }

  static constexpr const char* kName = "x.c";

 private:
  std::filesystem::path m_root;
};

inline PairFolders& SharedPairFolders() {
  static PairFolders folders;
  return folders;
}

}  // namespace quintrel::fuzz
