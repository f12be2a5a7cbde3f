#include "compare/results/extension_sums.h"

#include <map>

#include "compare/listing/folder_listing.h"

namespace quintrel {

std::string GroupedExtension(std::string_view name) {
  const std::size_t lastPart = name.rfind(TreePathSeparator());
  const std::string_view fileName =
      lastPart == std::string_view::npos ? name : name.substr(lastPart + 1);
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string extension(fileName.substr(dot));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

std::vector<ExtensionSum> SumExtensions(const std::vector<ResultRow>& rows) {
  std::map<std::string, ExtensionSum> byExtension;
  for (const ResultRow& row : rows) {
    const std::string extension = GroupedExtension(ShownNewName(row));
    ExtensionSum& sum = byExtension[extension];
    sum.name = extension;
    sum.counts.Add(row.flags);
    sum.totals.Add(row.result);
  }
  std::vector<ExtensionSum> sums;
  sums.reserve(byExtension.size());
  for (auto& [extension, sum] : byExtension) sums.push_back(std::move(sum));
  return sums;
}

}  // namespace quintrel
