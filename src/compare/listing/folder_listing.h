#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compare/listing/catalogue.h"

namespace quintrel {

// Listing folders on disk: the one place that asks the system what a folder holds.

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
  // folder). A folder that can be listed but not entered lists its names all the same; one
  // that cannot be listed, or read through, holds nothing.
  FolderLevel List(const std::string& relative);

 private:
  struct Handles;
  std::unique_ptr<Handles> m_handles;
};

enum class ScanStatus { kListed, kCannotOpen };

// Lists the names directly in `folder` (no subfolders; any entry type) that carry one of
// `extensions` into `names`, in byte order. An empty folder text lists nothing and
// succeeds; a folder that can be opened but not read counts as empty.
ScanStatus ScanFolder(const std::string& folder, std::vector<std::string>& names,
                      const std::vector<std::string>& extensions = DefaultExtensions());

// A folder text made absolute against the current directory; an empty text stays empty.
std::string ResolveFolderText(const std::string& text);

}  // namespace quintrel
