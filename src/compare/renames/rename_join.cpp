#include "compare/renames/rename_join.h"

#include <exception>
#include <memory>

#include "compare/run/parallel_work.h"
#include "compare/sources/version_source.h"

namespace quintrel {

namespace {

// One file whose lines the search needs.
struct FileToRead {
  VersionSide side;
  const std::string* name;
};

// The entries present in exactly the version `flags`: their catalogue indices, and the
// files to read, appended to `files`.
std::vector<std::size_t> EntriesOnlyIn(const FileCatalogue& catalogue, PresenceFlags flags,
                                       std::vector<FileToRead>& files) {
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const CatalogueEntry& entry = catalogue[i];
    if (entry.flags != flags) continue;
    indices.push_back(i);
    if (flags == kInOld)
      files.push_back({VersionSide::kOld, &entry.oldName});
    else
      files.push_back({VersionSide::kNew, &entry.newName});
  }
  return indices;
}

// Loads a file as measuring does, less the empty line that measuring sees after a final
// line end: it is no line of text, and would make any two one-line files half alike. False
// (the file counts as absent) when it cannot be read.
bool LoadText(VersionFiles& reader, const FileToRead& file, SourceText& text) {
  text.lines.clear();
  if (!reader.ReadText(file.side, *file.name, text.bytes)) return false;
  BuildLineTable(text.bytes, text.lines);
  if (text.bytes.empty()) {
    text.lines.clear();  // no lines at all
  } else if (text.bytes.back() == '\n') {
    text.bytes.pop_back();
    text.lines.pop_back();
  }
  return true;
}

// Reads and profiles the files on up to `jobs` threads, each with its own access to the
// versions' files.
std::vector<LineProfile> ProfileFiles(const std::vector<FileToRead>& files,
                                      const VersionPair& versions, unsigned jobs) {
  std::vector<LineProfile> profiles(files.size());
  ParallelWork work;
  work.items = files.size();
  work.jobs = jobs;
  work.newWorker = [&]() -> ItemWork {
    auto reader = std::shared_ptr<VersionFiles>(versions.OpenFiles());
    auto text = std::make_shared<SourceText>();
    return [&, reader, text](std::size_t i) {
      if (LoadText(*reader, files[i], *text)) profiles[i] = ProfileLines(*text);
    };
  };
  const WorkOutcome outcome = RunParallel(work);
  if (outcome.failure) std::rethrow_exception(outcome.failure);
  return profiles;
}

// Makes the new file's entry the entry of the rename, read under the old file's name in the
// old version.
void JoinEntries(FileCatalogue& catalogue, std::size_t oldEntry, std::size_t newEntry) {
  const CatalogueEntry& old = catalogue[oldEntry];
  CatalogueEntry& entry = catalogue[newEntry];
  entry.renamedFrom = old.name;
  entry.name = old.name + std::string(kRenameArrow) + entry.name;
  entry.oldName = old.oldName;
  entry.flags = kInOld | kInNew;
}

}  // namespace

void JoinRenames(FileCatalogue& catalogue, const VersionPair& versions, int percent, unsigned jobs,
                 RenameSearchStats* stats) {
  std::vector<FileToRead> files;
  const std::vector<std::size_t> oldOnly = EntriesOnlyIn(catalogue, kInOld, files);
  const std::vector<std::size_t> newOnly = EntriesOnlyIn(catalogue, kInNew, files);
  if (oldOnly.empty() || newOnly.empty()) return;
  std::vector<LineProfile> oldProfiles = ProfileFiles(files, versions, jobs);
  std::vector<LineProfile> newProfiles(
      std::make_move_iterator(oldProfiles.begin() + oldOnly.size()),
      std::make_move_iterator(oldProfiles.end()));
  oldProfiles.resize(oldOnly.size());

  // Only the pairs that may qualify are read again, two files at a time, and measured.
  const std::unique_ptr<VersionFiles> reader = versions.OpenFiles();
  SourceText oldText;
  SourceText newText;
  LineIndexMemory memory;
  const auto pairedLines = [&](std::size_t oldIndex, std::size_t newIndex) -> std::size_t {
    if (!LoadText(*reader, files[oldIndex], oldText)) return 0;
    if (!LoadText(*reader, files[oldOnly.size() + newIndex], newText)) return 0;
    return CountPairedNewLines(oldText, newText, memory);
  };
  const std::vector<RenamePair> renames =
      FindRenames(oldProfiles, newProfiles, percent, pairedLines, stats);

  std::vector<char> joined(catalogue.size(), 0);
  for (const RenamePair& rename : renames) {
    JoinEntries(catalogue, oldOnly[rename.oldIndex], newOnly[rename.newIndex]);
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
