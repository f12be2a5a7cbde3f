#include "compare/listing/folder_tree.h"

#include <algorithm>

#include "compare/listing/folder_listing.h"
#include "compare/listing/path_pattern.h"
#include "compare/sources/folder_pair.h"
#include "compare/sources/version_source.h"

namespace quintrel {

namespace {

// A pair of folders still to be listed; a path is empty on a side that lacks the folder
// (and for the top folders).
struct PendingFolder {
  std::string shown;
  std::string oldPath;
  std::string newPath;
  PresenceFlags flags = 0;
};

// `name` below `folder`; empty when the side has no such entry.
std::string Below(const std::string& folder, const std::string& name) {
  if (name.empty() || folder.empty()) return name;
  return folder + TreePathSeparator() + name;
}

bool IsSkippedFolder(const std::string& name, const ScanOptions& options) {
  static constexpr const char* kVersionControlFolders[] = {".git", ".hg", ".svn"};
  for (const char* skipped : kVersionControlFolders) {
    if (name == skipped) return true;
  }
  const std::vector<std::string>& excluded = options.excludedFolders;
  return std::find(excluded.begin(), excluded.end(), name) != excluded.end();
}

void DropSkippedFolders(std::vector<std::string>& folders, const ScanOptions& options) {
  std::erase_if(folders, [&](const std::string& name) { return IsSkippedFolder(name, options); });
}

CatalogueEntry EntryBelow(const PendingFolder& folder, const CatalogueEntry& entry) {
  return {Below(folder.shown, entry.name), Below(folder.oldPath, entry.oldName),
          Below(folder.newPath, entry.newName), entry.flags};
}

class TreeWalk {
 public:
  TreeWalk(VersionSource& oldSource, VersionSource& newSource, const ScanOptions& options)
      : m_options(options), m_oldSource(oldSource), m_newSource(newSource) {}

  TreeScan Run() {
    TreeScan scan;
    if (!m_oldSource.OpenTop()) {
      scan.status = TreeScanStatus::kOldCannotOpen;
    } else if (!m_newSource.OpenTop()) {
      scan.status = TreeScanStatus::kNewCannotOpen;
    } else {
      // An explicit stack, not recursion: a tree may be deeper than the call stack allows.
      std::vector<PendingFolder> pending{{"", "", "", kInOld | kInNew}};
      while (!pending.empty()) {
        PendingFolder folder = std::move(pending.back());
        pending.pop_back();
        Visit(folder, scan.catalogue, pending);
      }
    }
    return scan;
  }

 private:
  // Adds the folder's own files and pushes its subfolders so that the first one comes next.
  void Visit(const PendingFolder& folder, FileCatalogue& catalogue,
             std::vector<PendingFolder>& pending) {
    FolderLevel oldLevel =
        (folder.flags & kInOld) ? m_oldSource.List(folder.oldPath) : FolderLevel{};
    FolderLevel newLevel =
        (folder.flags & kInNew) ? m_newSource.List(folder.newPath) : FolderLevel{};
    // Each side's entries by its own paths on disk.
    const std::vector<std::string>& patterns = m_options.excludePatterns;
    for (std::vector<std::string>* names : {&oldLevel.files, &oldLevel.folders}) {
      DropExcludedEntries(*names, patterns, folder.oldPath);
    }
    for (std::vector<std::string>* names : {&newLevel.files, &newLevel.folders}) {
      DropExcludedEntries(*names, patterns, folder.newPath);
    }
    for (const CatalogueEntry& file : BuildCatalogue(oldLevel.files, newLevel.files)) {
      catalogue.push_back(EntryBelow(folder, file));
    }
    DropSkippedFolders(oldLevel.folders, m_options);
    DropSkippedFolders(newLevel.folders, m_options);
    const FileCatalogue subfolders = BuildCatalogue(oldLevel.folders, newLevel.folders);
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
      CatalogueEntry child = EntryBelow(folder, *it);
      pending.push_back(
          {std::move(child.name), std::move(child.oldName), std::move(child.newName), child.flags});
    }
  }

  const ScanOptions& m_options;
  VersionSource& m_oldSource;
  VersionSource& m_newSource;
};

}  // namespace

TreeScan ScanTrees(const std::string& oldTop, const std::string& newTop,
                   const ScanOptions& options) {
  const std::unique_ptr<VersionPair> folders = MakeFolderPair(oldTop, newTop, options.extensions);
  return ScanTrees(folders->Old(), folders->New(), options);
}

TreeScan ScanTrees(VersionSource& oldSource, VersionSource& newSource, const ScanOptions& options) {
  return TreeWalk(oldSource, newSource, options).Run();
}

}  // namespace quintrel
