#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct git_repository;

namespace quintrel::testing {

inline constexpr unsigned kBlobMode = 0100644;
inline constexpr unsigned kExecutableMode = 0100755;
inline constexpr unsigned kLinkMode = 0120000;       // `content` is the link's target
inline constexpr unsigned kSubmoduleMode = 0160000;  // `content` is not used

// One entry of a revision's tree: a path of names joined by '/'.
struct TreeItem {
  std::string path;
  std::string content;
  unsigned mode = kBlobMode;
};

using TreeItems = std::vector<TreeItem>;

// A git repository with a working folder, written through libgit2. Its working folder holds
// nothing but .git: the revisions exist only as objects.
class TestRepository {
 public:
  explicit TestRepository(const std::filesystem::path& folder);
  ~TestRepository();
  TestRepository(const TestRepository&) = delete;
  TestRepository& operator=(const TestRepository&) = delete;

  // Commits a tree of exactly `items` on top of HEAD; returns the commit id in hex.
  std::string Commit(const TreeItems& items);
  void Tag(const std::string& name, const std::string& commitId);

 private:
  git_repository* m_repository = nullptr;
};

// Writes what checking `items` out would put on disk below `folder`, each file with the
// modification time `mtime`. Links and submodules are left out: they are no files.
void WriteCheckout(const TreeItems& items, const std::filesystem::path& folder, long long mtime);

}  // namespace quintrel::testing
