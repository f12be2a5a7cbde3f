#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compare/listing/catalogue.h"
#include "compare/listing/scan_options.h"

namespace quintrel {

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
