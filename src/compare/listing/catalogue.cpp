#include "compare/listing/catalogue.h"

#include <algorithm>
#include <deque>
#include <map>

#include "compare/listing/name_order.h"
#include "compare/listing/scan_options.h"

namespace quintrel {

namespace {

std::vector<std::string> SortedUnique(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

// Names of `from` that are not in `other`; both sorted, so is the result.
std::vector<std::string> Without(const std::vector<std::string>& from,
                                 const std::vector<std::string>& other) {
  std::vector<std::string> rest;
  std::set_difference(from.begin(), from.end(), other.begin(), other.end(),
                      std::back_inserter(rest));
  return rest;
}

// Pairs every old leftover, in byte order, with the first unpaired new leftover (in byte
// order) that differs from it only in letter case. Paired names leave both lists.
std::vector<CatalogueEntry> PairByCase(std::vector<std::string>& oldRest,
                                       std::vector<std::string>& newRest) {
  std::map<std::string, std::deque<std::string>> newByFolded;
  for (const std::string& name : newRest) newByFolded[FoldLetterCase(name)].push_back(name);
  std::vector<CatalogueEntry> paired;
  std::vector<std::string> oldUnpaired;
  for (std::string& name : oldRest) {
    auto found = newByFolded.find(FoldLetterCase(name));
    if (found == newByFolded.end() || found->second.empty()) {
      oldUnpaired.push_back(std::move(name));
      continue;
    }
    paired.push_back({name, name, std::move(found->second.front()), kInOld | kInNew});
    found->second.pop_front();
  }
  std::vector<std::string> newUnpaired;
  for (auto& [folded, names] : newByFolded) {
    for (std::string& name : names) newUnpaired.push_back(std::move(name));
  }
  std::sort(newUnpaired.begin(), newUnpaired.end());
  oldRest = std::move(oldUnpaired);
  newRest = std::move(newUnpaired);
  return paired;
}

void SortInCatalogueOrder(FileCatalogue& catalogue) {
  // Each name is converted once, and indices move instead of entries. Shown names are
  // unique, so the byte tie-break makes the order total.
  std::vector<NameSortKey> keys;
  keys.reserve(catalogue.size());
  for (const CatalogueEntry& entry : catalogue) keys.push_back(MakeNameSortKey(entry.name));
  std::vector<std::size_t> order(catalogue.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (keys[a] != keys[b]) return keys[a] < keys[b];
    return catalogue[a].name < catalogue[b].name;
  });
  FileCatalogue sorted;
  sorted.reserve(catalogue.size());
  for (std::size_t index : order) sorted.push_back(std::move(catalogue[index]));
  catalogue = std::move(sorted);
}

}  // namespace

const char* RowMarker(PresenceFlags flags) {
  static constexpr const char* kMarkers[] = {"?", "-", "+", ""};
  return flags >= 0 && flags <= 3 ? kMarkers[flags] : "?";
}

bool HasAcceptedExtension(std::string_view name, const std::vector<std::string>& extensions) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

bool IsSourceFileName(std::string_view name) {
  return HasAcceptedExtension(name, DefaultExtensions());
}

const std::vector<std::string>& DefaultExtensions() {
  static const std::vector<std::string> extensions = ScanOptions{}.extensions;
  return extensions;
}

FileCatalogue BuildCatalogue(const std::vector<std::string>& oldNames,
                             const std::vector<std::string>& newNames) {
  const std::vector<std::string> oldSorted = SortedUnique(oldNames);
  const std::vector<std::string> newSorted = SortedUnique(newNames);
  FileCatalogue catalogue;
  std::vector<std::string> common;
  std::set_intersection(oldSorted.begin(), oldSorted.end(), newSorted.begin(), newSorted.end(),
                        std::back_inserter(common));
  for (const std::string& name : common) catalogue.push_back({name, name, name, kInOld | kInNew});

  std::vector<std::string> oldRest = Without(oldSorted, common);
  std::vector<std::string> newRest = Without(newSorted, common);
  for (CatalogueEntry& entry : PairByCase(oldRest, newRest)) catalogue.push_back(std::move(entry));
  for (const std::string& name : oldRest) catalogue.push_back({name, name, "", kInOld});
  for (const std::string& name : newRest) catalogue.push_back({name, "", name, kInNew});
  SortInCatalogueOrder(catalogue);
  return catalogue;
}

}  // namespace quintrel
