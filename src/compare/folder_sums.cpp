#include "compare/folder_sums.h"

#include <unordered_map>

#include "compare/folder_tree.h"

namespace quintrel {

namespace {

void AddRow(const ResultRow& row, FileCounts& counts) {
  ++counts.rows;
  counts.plusRows += row.flags == kInNew ? 1 : 0;
  counts.minusRows += row.flags == kInOld ? 1 : 0;
}

void AddRow(const ResultRow& row, FolderSum& folder) {
  AddRow(row, folder.counts);
  folder.totals.added += row.result.added;
  folder.totals.deleted += row.result.deleted;
  folder.totals.loc += row.result.loc;
}

}  // namespace

FileCounts CountFiles(const std::vector<ResultRow>& rows) {
  FileCounts counts;
  for (const ResultRow& row : rows) AddRow(row, counts);
  return counts;
}

std::vector<FolderSum> SumFolders(const std::vector<ResultRow>& rows) {
  std::vector<FolderSum> folders;
  std::unordered_map<std::string, std::size_t> indexByName;
  for (const ResultRow& row : rows) {
    // Each folder on the row's path, outermost first, so a folder is listed before its own.
    for (std::size_t end = row.name.find(TreePathSeparator()); end != std::string::npos;
         end = row.name.find(TreePathSeparator(), end + 1)) {
      std::string name = row.name.substr(0, end);
      auto [found, added] = indexByName.try_emplace(name, folders.size());
      if (added) folders.push_back({std::move(name), {}, {}});
      AddRow(row, folders[found->second]);
    }
  }
  return folders;
}

}  // namespace quintrel
