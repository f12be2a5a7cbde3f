#include "compare/results/folder_sums.h"

#include <unordered_map>

#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"
#include "compare/listing/name_order.h"
#include "compare/results/row_order.h"

namespace quintrel {

std::vector<FolderSum> SumFolders(const std::vector<ResultRow>& rows) {
  std::vector<FolderSum> folders;
  std::unordered_map<std::string, std::size_t> indexByName;
  for (const ResultRow& row : rows) {
    // Each folder on the row's path, outermost first, so a folder is listed before its own.
    // A renamed file counts in the folders of its new name, where its row stands.
    const std::string_view path = ShownNewName(row);
    for (std::size_t end = path.find(TreePathSeparator()); end != std::string_view::npos;
         end = path.find(TreePathSeparator(), end + 1)) {
      std::string name(path.substr(0, end));
      auto [found, added] = indexByName.try_emplace(name, folders.size());
      if (added) folders.push_back({std::move(name), {}, {}});
      FolderSum& folder = folders[found->second];
      folder.counts.Add(row.flags);
      folder.totals.Add(row.result);
    }
  }
  return folders;
}

RowTexts FolderSumTexts(const FolderSum& folder) {
  return SumLineTexts(folder.name, folder.counts, folder.totals);
}

int CompareFolderSums(const FolderSum& a, const FolderSum& b, int column) {
  switch (column) {
    case kFolderColumnName:
      return CompareCatalogueNames(a.name, b.name);
    case kFolderColumnFiles:
      if (a.counts.files() != b.counts.files()) {
        return CompareValues(a.counts.files(), b.counts.files());
      }
      if (a.counts.plusRows != b.counts.plusRows) {
        return CompareValues(a.counts.plusRows, b.counts.plusRows);
      }
      return CompareValues(a.counts.minusRows, b.counts.minusRows);
    case kFolderColumnAdded:
      return CompareValues(a.totals.added, b.totals.added);
    case kFolderColumnDeleted:
      return CompareValues(a.totals.deleted, b.totals.deleted);
    case kFolderColumnLoc:
      return CompareValues(a.totals.loc, b.totals.loc);
    default:
      return 0;
  }
}

}  // namespace quintrel
