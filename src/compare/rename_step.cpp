#include "compare/rename_step.h"

#include <memory>

#include "compare/version_source.h"

namespace quintrel {

namespace {

// The catalogue indices of the entries present in exactly the version `flags`.
std::vector<std::size_t> EntriesOnlyIn(const FileCatalogue& catalogue, PresenceFlags flags) {
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    if (catalogue[i].flags == flags) indices.push_back(i);
  }
  return indices;
}

// The texts of the entries, as measuring loads them; a file that cannot be read is absent.
std::vector<SourceText> LoadTexts(const FileCatalogue& catalogue,
                                  const std::vector<std::size_t>& indices, VersionSide side,
                                  PairMeasurer& reader) {
  std::vector<SourceText> texts(indices.size());
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const CatalogueEntry& entry = catalogue[indices[i]];
    const std::string& name = side == VersionSide::kOld ? entry.oldName : entry.newName;
    if (reader.ReadText(side, name, texts[i].bytes)) BuildLineTable(texts[i].bytes, texts[i].lines);
  }
  return texts;
}

}  // namespace

void JoinRenames(FileCatalogue& catalogue, const VersionPair& versions, int percent,
                 RenameSearchStats* stats) {
  const std::vector<std::size_t> oldOnly = EntriesOnlyIn(catalogue, kInOld);
  const std::vector<std::size_t> newOnly = EntriesOnlyIn(catalogue, kInNew);
  if (oldOnly.empty() || newOnly.empty()) return;
  std::vector<RenamePair> renames;
  {
    const std::unique_ptr<PairMeasurer> reader = versions.NewMeasurer();
    std::vector<SourceText> oldTexts = LoadTexts(catalogue, oldOnly, VersionSide::kOld, *reader);
    std::vector<SourceText> newTexts = LoadTexts(catalogue, newOnly, VersionSide::kNew, *reader);
    renames = FindRenames(oldTexts, newTexts, percent, stats);
  }
  std::vector<char> joined(catalogue.size(), 0);
  for (const RenamePair& rename : renames) {
    const CatalogueEntry& old = catalogue[oldOnly[rename.oldIndex]];
    CatalogueEntry& entry = catalogue[newOnly[rename.newIndex]];
    entry.renamedFrom = old.name;
    entry.name = old.name + std::string(kRenameArrow) + entry.name;
    entry.oldName = old.oldName;
    entry.flags = kInOld | kInNew;
    joined[oldOnly[rename.oldIndex]] = 1;
  }
  FileCatalogue kept;
  kept.reserve(catalogue.size() - renames.size());
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    if (!joined[i]) kept.push_back(std::move(catalogue[i]));
  }
  catalogue = std::move(kept);
}

}  // namespace quintrel
