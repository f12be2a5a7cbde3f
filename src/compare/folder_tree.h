#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compare/catalogue.h"
#include "compare/scan_options.h"

namespace quintrel {

// The separator of the relative paths in a tree's row names and on-disk names.
char TreePathSeparator();

// One folder of a tree as the tree scan sees it, both lists in byte order.
struct FolderLevel {
  // Entries with an accepted extension that are neither folders nor links to folders.
  std::vector<std::string> files;
  // Real subfolders; links to folders are left out, so a tree is never entered twice.
  std::vector<std::string> folders;
};

// Reads the folders of one tree. Each folder is opened relative to a folder opened a moment
// before (a few stay open along the recent paths), so no path handed to the system grows
// with the depth of the tree, and a deep tree needs no more descriptors than a flat one.
class FolderTreeReader {
 public:
  FolderTreeReader(const std::string& top, const std::vector<std::string>& extensions);
  ~FolderTreeReader();
  FolderTreeReader(const FolderTreeReader&) = delete;
  FolderTreeReader& operator=(const FolderTreeReader&) = delete;

  // False when the top folder cannot be opened. An empty folder text is an empty folder.
  bool OpenTop();

  // The folder at `relative` (on-disk names joined by TreePathSeparator; empty for the top
  // folder). A folder that cannot be opened or read through holds nothing.
  FolderLevel List(const std::string& relative);

 private:
  struct Handles;
  std::unique_ptr<Handles> m_handles;
};

class VersionSource;

enum class TreeScanStatus { kListed, kOldCannotOpen, kNewCannotOpen };

struct TreeScan {
  TreeScanStatus status = TreeScanStatus::kListed;
  FileCatalogue catalogue;  // empty unless listed
};

// Lists both trees into one catalogue in pre-order: a folder's own files in catalogue order,
// then each pair of its subfolders (paired as file names are, in catalogue order of the shown
// names) with everything beneath. An entry's name is the path of shown names below the top
// folders; `oldName` and `newName` are the paths of on-disk names on each side.
TreeScan ScanTrees(const std::string& oldTop, const std::string& newTop,
                   const ScanOptions& options);

// The same for two versions from any source.
TreeScan ScanTrees(VersionSource& oldSource, VersionSource& newSource, const ScanOptions& options);

}  // namespace quintrel
