#pragma once

#include <string>
#include <vector>

namespace quintrel {

// Which entries of the two folders a run measures.
struct ScanOptions {
  // Also measure the files of every subfolder (a tree), not only the folders' own files.
  bool recursive = false;
  // Accepted name extensions, without the dot, compared byte for byte.
  std::vector<std::string> extensions = {"c", "h", "cpp"};
  // Names of folders skipped at any depth of a tree, besides the version-control folders.
  std::vector<std::string> excludedFolders;
  // Shell patterns (MatchesPathPattern) of files and folders skipped on both sides: matched
  // against the path below the top folder, as on disk, and against the name alone.
  std::vector<std::string> excludePatterns = {};
};

}  // namespace quintrel
