#include "compare/renames/rename_join.h"

#include <atomic>
#include <exception>
#include <list>
#include <memory>
#include <mutex>

#include "compare/run/parallel_work.h"
#include "compare/sources/version_source.h"
#include "engine/statement_units.h"

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

// Loads the files as the search compares them; one per thread.
class TextLoader {
 public:
  explicit TextLoader(PairingRule pairing) : m_pairing(pairing) {}

  // The file as measuring loads it; when statement units pair, one line for each of its
  // units instead (see UnitLines). False (the file counts as absent) when it cannot be read.
  // Without `lineTable` the text may come without its line table, which profiling does
  // without.
  bool Load(VersionFiles& reader, const FileToRead& file, SourceText& text, bool lineTable = true) {
    text.lines.clear();
    if (!reader.ReadText(file.side, *file.name, text.bytes)) return false;
    if (m_pairing == PairingRule::kStatementUnits) {
      UnitLines(text);
    } else if (lineTable) {
      BuildLineTable(text.bytes, text.lines);
    }
    return true;
  }

 private:
  // Replaces the text by one line per statement unit, its tokens with backslashes and line
  // ends escaped: two lines are equal exactly when their units are, so files are as similar
  // as their units. A text without statements has no lines.
  void UnitLines(SourceText& text) {
    ReadStatementUnits(text, m_units);
    ByteBuffer& lines = text.bytes;
    lines.clear();
    for (const StatementUnit& unit : m_units.units) {
      for (std::size_t at = unit.offset; at < unit.offset + unit.size; ++at) {
        const unsigned char byte = m_units.bytes[at];
        if (byte == '\\' || byte == '\n') lines.push_back('\\');
        lines.push_back(byte == '\n' ? 'n' : byte);
      }
      lines.push_back('\n');
    }
    text.lines.clear();
    BuildLineTable(text.bytes, text.lines);
  }

  const PairingRule m_pairing;
  UnitList m_units;
};

// An arena for each thread that makes profiles, kept as long as the profiles.
class ProfileArenas {
 public:
  ProfileArena* Add() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return &m_arenas.emplace_back();
  }

 private:
  std::mutex m_mutex;
  std::list<ProfileArena> m_arenas;
};

// Reads, measures and profiles the files on up to `jobs` threads, each with its own access
// to the versions' files; reports and stops as `control` asks. False when cancelled before
// every file was read.
bool SearchFiles(const std::vector<FileToRead>& files, const VersionPair& versions, unsigned jobs,
                 PairingRule pairing, const SearchControl& control, ProfileArenas& arenas,
                 std::vector<LineProfile>& profiles) {
  profiles.resize(files.size());
  std::atomic<std::uint64_t> bytesRead{0};
  ParallelWork work;
  work.items = files.size();
  work.jobs = jobs;
  work.cancel = control.cancel;
  work.newWorker = [&]() -> ItemWork {
    auto reader = std::shared_ptr<VersionFiles>(versions.OpenFiles());
    auto profiler = std::make_shared<LineProfiler>(arenas.Add());
    auto text = std::make_shared<SourceText>();
    auto loader = std::make_shared<TextLoader>(pairing);
    return [&, reader, profiler, text, loader](std::size_t i) {
      if (!loader->Load(*reader, files[i], *text, false)) return;
      bytesRead.fetch_add(text->bytes.size(), std::memory_order_relaxed);
      profiles[i] = profiler->ProfileLoaded(*text);
    };
  };
  // Asked for only when reported: a report per file wakes the waiting thread once each.
  if (control.progress) {
    work.progress = [&](std::size_t done) {
      control.progress(done, bytesRead.load(std::memory_order_relaxed));
    };
  }
  const WorkOutcome outcome = RunParallel(work);
  if (outcome.failure) std::rethrow_exception(outcome.failure);
  return outcome.DonePrefix() == files.size();
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

// The search over the files of one version only: `files` holds the old ones first.
class Search {
 public:
  Search(const std::vector<FileToRead>& files, std::size_t oldCount, const VersionPair& versions,
         unsigned jobs, PairingRule pairing)
      : m_files(files),
        m_oldCount(oldCount),
        m_versions(versions),
        m_reader(versions.OpenFiles()),
        m_pairing(pairing),
        m_loader(pairing),
        m_jobs(jobs) {}

  // Reads and profiles every file; false when cancelled first.
  bool ReadFiles(const SearchControl& control) {
    return SearchFiles(m_files, m_versions, m_jobs, m_pairing, control, m_arenas, m_profiles);
  }

  std::vector<RenamePair> Find(int percent, RenameSearchStats* stats) {
    std::vector<LineProfile> oldProfiles;
    std::vector<LineProfile> newProfiles;
    for (std::size_t i = 0; i < m_files.size(); ++i)
      (i < m_oldCount ? oldProfiles : newProfiles).push_back(std::move(m_profiles[i]));
    const auto pairedLines = [&](std::size_t oldIndex, std::size_t newIndex) {
      const std::optional<std::size_t> paired =
          PairedNewLines(oldProfiles[oldIndex], newProfiles[newIndex]);
      return paired ? *paired : PairByReading(oldIndex, newIndex);
    };
    std::vector<RenamePair> renames =
        FindRenames(oldProfiles, newProfiles, percent, pairedLines, stats, m_jobs);
    for (std::size_t i = 0; i < m_files.size(); ++i) {
      m_profiles[i] = std::move(i < m_oldCount ? oldProfiles[i] : newProfiles[i - m_oldCount]);
    }
    return renames;
  }

  // What the profiles tell of each file, measured on the workers: for the new file of a
  // rename, the rename's measurement; for a file left in one version only, its own; nothing
  // for the old file of a rename, for a file that could not be read, or where the line
  // hashes cannot tell. A rename also asks the versions whether they take it as unchanged,
  // which may query the file system.
  std::vector<std::optional<FileResult>> Measure(const std::vector<RenamePair>& renames) const {
    std::vector<std::size_t> partner(m_files.size(), kAlone);
    for (const RenamePair& rename : renames) {
      partner[rename.oldIndex] = kOldOfRename;
      partner[m_oldCount + rename.newIndex] = rename.oldIndex;
    }
    std::vector<std::optional<FileResult>> results(m_files.size());
    ParallelWork work;
    work.items = m_files.size();
    work.jobs = m_jobs;
    work.newWorker = [&]() -> ItemWork {
      auto reader = std::shared_ptr<VersionFiles>(m_versions.OpenFiles());
      return [&, reader](std::size_t file) {
        if (partner[file] == kAlone) {
          results[file] = MeasureAlone(file);
        } else if (partner[file] != kOldOfRename) {
          results[file] = MeasureRename(*reader, partner[file], file);
        }
      };
    };
    const WorkOutcome outcome = RunParallel(work);
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    return results;
  }

 private:
  static constexpr std::size_t kAlone = static_cast<std::size_t>(-1);
  static constexpr std::size_t kOldOfRename = static_cast<std::size_t>(-2);

  // The measurement of a rename, unless its files' line hashes cannot tell it.
  std::optional<FileResult> MeasureRename(VersionFiles& reader, std::size_t oldFile,
                                          std::size_t newFile) const {
    const LineProfile& now = m_profiles[newFile];
    if (reader.TakesAsUnchanged(*m_files[oldFile].name, *m_files[newFile].name))
      return MeasureUnchanged(now);
    return MeasureProfiles(m_profiles[oldFile], now);
  }

  // The measurement of a file left in one version only, unless it could not be read.
  std::optional<FileResult> MeasureAlone(std::size_t file) const {
    const LineProfile& profile = m_profiles[file];
    if (!profile.measured) return std::nullopt;
    return file < m_oldCount ? MeasureOldOnly(profile) : MeasureNewOnly(profile);
  }

  // Two different lines share a hash: the files are read again and their lines paired.
  std::size_t PairByReading(std::size_t oldIndex, std::size_t newIndex) {
    if (!m_loader.Load(*m_reader, m_files[oldIndex], m_oldText)) return 0;
    if (!m_loader.Load(*m_reader, m_files[m_oldCount + newIndex], m_newText)) return 0;
    DropFinalLineEnd(m_oldText);
    DropFinalLineEnd(m_newText);
    return CountPairedNewLines(m_oldText, m_newText, m_memory);
  }

  const std::vector<FileToRead>& m_files;
  const std::size_t m_oldCount;
  const VersionPair& m_versions;
  ProfileArenas m_arenas;               // before the profiles: they go first
  std::vector<LineProfile> m_profiles;  // measured where the file could be read
  const std::unique_ptr<VersionFiles> m_reader;
  const PairingRule m_pairing;
  TextLoader m_loader;
  SourceText m_oldText;
  SourceText m_newText;
  LineIndexMemory m_memory;
  const unsigned m_jobs;
};

}  // namespace

std::size_t SearchedFileCount(const FileCatalogue& catalogue) {
  std::size_t oldOnly = 0;
  std::size_t newOnly = 0;
  for (const CatalogueEntry& entry : catalogue) {
    oldOnly += entry.flags == kInOld;
    newOnly += entry.flags == kInNew;
  }
  return oldOnly != 0 && newOnly != 0 ? oldOnly + newOnly : 0;
}

std::optional<KnownResults> JoinRenames(FileCatalogue& catalogue, const VersionPair& versions,
                                        int percent, const RenameSearchOptions& options) {
  std::vector<FileToRead> files;
  const std::vector<std::size_t> oldOnly = EntriesOnlyIn(catalogue, kInOld, files);
  const std::vector<std::size_t> newOnly = EntriesOnlyIn(catalogue, kInNew, files);
  if (oldOnly.empty() || newOnly.empty()) return KnownResults{};
  Search search(files, oldOnly.size(), versions, options.jobs, options.pairing);
  if (!search.ReadFiles(options.control)) return std::nullopt;
  const std::vector<RenamePair> renames = search.Find(percent, options.stats);
  // The choice took a while on a large tree: a cancel meanwhile is taken before measuring.
  if (options.control.cancel && options.control.cancel->load()) return std::nullopt;

  const std::vector<std::optional<FileResult>> results = search.Measure(renames);
  KnownResults known;
  std::vector<char> joined(catalogue.size(), 0);
  for (const RenamePair& rename : renames) {
    JoinEntries(catalogue, oldOnly[rename.oldIndex], newOnly[rename.newIndex]);
    joined[oldOnly[rename.oldIndex]] = 1;
  }
  for (std::size_t file = 0; file < files.size(); ++file) {
    if (!results[file]) continue;
    const std::size_t entry =
        file < oldOnly.size() ? oldOnly[file] : newOnly[file - oldOnly.size()];
    known.emplace(catalogue[entry].name, *results[file]);
  }
  FileCatalogue kept;
  kept.reserve(catalogue.size() - renames.size());
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    if (!joined[i]) kept.push_back(std::move(catalogue[i]));
  }
  catalogue = std::move(kept);
  return known;
}

}  // namespace quintrel
