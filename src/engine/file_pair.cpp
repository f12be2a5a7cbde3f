#include "engine/file_pair.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <type_traits>

#include "engine/input_file.h"
#include "engine/line_matching.h"
#include "engine/source_loader.h"
#include "engine/statement_counter.h"
#include "engine/unit_pair_reader.h"

namespace quintrel {

namespace {

// One version of the file: open when it could be opened, with its status when that could
// be queried (a file that cannot be opened may still have a status).
struct Version {
  std::optional<InputFile> file;
  FileStatus status;

  InputFile* FileOrNull() { return file ? &*file : nullptr; }
};

Version OpenVersion(const std::string& folder, const std::string& name) {
  Version version;
  if (folder.empty() || name.empty()) return version;
  std::string path = JoinPath(folder, name);
  version.file = InputFile::Open(path);
  version.status = version.file ? version.file->Status() : QueryStatus(path);
  return version;
}

void ClearText(SourceText& text) {
  text.bytes.clear();
  text.lines.clear();
}

std::size_t SizeOrZero(std::int64_t size) {
  return size > 0 ? static_cast<std::size_t>(size) : 0;
}

// What measuring a pair of these sizes is expected to take: both texts, and unless they are
// alike in size (most likely the same bytes, counted without line tables), line tables and
// the pairing's lists, hashes and index, which on source text take about as much again.
std::size_t WorkingBytes(std::size_t oldBytes, std::size_t newBytes) {
  const std::size_t texts = oldBytes + newBytes;
  return oldBytes == newBytes ? texts + texts / 4 : 2 * texts;
}

// Which versions were read into the workspace's texts.
struct LoadedVersions {
  bool unchanged;  // known identical; only the new version was read
  bool oldRead;
  bool newRead;
};

// Every mark of the text, counted without a line table.
std::int32_t CountEveryStatement(SourceText& text) {
  text.lines.clear();  // no flags: every mark is credited as unmatched
  return CountStatements(text).unmatched;
}

std::int32_t ClampCount(std::int64_t count) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

// Reads both texts into statement units and pairs those. A version that was not read has
// no bytes, and so no units: every unit of the other one is unpaired, and counting its marks
// gives the same numbers without cutting it into units.
FileResult MeasureUnits(PairWorkspace& workspace) {
  if (workspace.oldText.bytes.empty() || workspace.newText.bytes.empty()) {
    FileResult result;
    result.deleted = CountEveryStatement(workspace.oldText);
    result.loc = CountEveryStatement(workspace.newText);
    result.added = result.loc;
    return result;
  }
  StatementUnitMemory& memory = workspace.units;
  ReadStatementUnitPair(workspace.oldText, workspace.newText, memory.oldUnits, memory.newUnits);
  const UnitCounts counts = PairUnits(memory.oldUnits, memory.newUnits, memory);
  FileResult result;
  result.loc = ClampCount(memory.newUnits.marks);
  result.added = ClampCount(counts.added);
  result.deleted = ClampCount(counts.deleted);
  return result;
}

// Pairs the lines (or the statement units, by the workspace's rule) of the workspace's two
// texts and counts their statements. Texts with the same bytes need neither line tables nor
// pairing: nothing was added or deleted.
FileResult MeasureLoadedTexts(const LoadedVersions& loaded, PairWorkspace& workspace) {
  SourceText& oldText = workspace.oldText;
  SourceText& newText = workspace.newText;
  workspace.loadedBytes = oldText.bytes.size() + newText.bytes.size();
  FileResult result;
  if (loaded.unchanged || (loaded.oldRead && loaded.newRead && oldText.bytes == newText.bytes)) {
    result.loc = CountEveryStatement(newText);
  } else if (workspace.pairing == PairingRule::kStatementUnits) {
    result = MeasureUnits(workspace);
  } else {
    LineIndexMemory& index = workspace.index;
    if (loaded.oldRead)
      BuildLineTableListingMarks(oldText.bytes, oldText.lines, index.oldList.lines);
    if (loaded.newRead)
      BuildLineTableListingMarks(newText.bytes, newText.lines, index.newList.lines);
    PairLines(oldText, newText, workspace.index, FlagsWanted::kLinesWithMarks);
    const StatementCounts newCounts = CountStatements(newText);
    result.loc = newCounts.matched + newCounts.unmatched;
    result.added = newCounts.unmatched;
    result.deleted = CountStatements(oldText).unmatched;
  }
  workspace.ReleaseLarge();
  return result;
}

template <typename Buffer>
std::size_t HeldBytes(const Buffer& buffer) {
  return buffer.capacity() * sizeof(typename Buffer::value_type);
}

template <typename Visit>
void ForEachBuffer(PairWorkspace& workspace, Visit visit) {
  for (SourceText* text : {&workspace.oldText, &workspace.newText}) {
    visit(text->bytes);
    visit(text->lines);
  }
  for (LineList* list : {&workspace.index.oldList, &workspace.index.newList}) {
    visit(list->lines);
    visit(list->hashes);
  }
  visit(workspace.index.next);
  visit(workspace.index.slots);
  for (UnitList* list : {&workspace.units.oldUnits, &workspace.units.newUnits}) {
    visit(list->bytes);
    visit(list->units);
  }
  visit(workspace.units.oldOrder);
  visit(workspace.units.newOrder);
}

}  // namespace

void PairWorkspace::ReleaseLarge() {
  std::size_t held = 0;
  ForEachBuffer(*this, [&](const auto& buffer) { held += HeldBytes(buffer); });
  if (held <= keptBytes) return;
  ForEachBuffer(*this, [](auto& buffer) {
    using Buffer = std::remove_reference_t<decltype(buffer)>;
    Buffer().swap(buffer);
  });
}

FileResult MeasureFilePair(const std::string& oldFolder, const std::string& newFolder,
                           const std::string& oldName, const std::string& newName,
                           PairWorkspace& workspace) {
  Version oldVersion = OpenVersion(oldFolder, oldName);
  Version newVersion = OpenVersion(newFolder, newName);
  // Same size and modification time: taken as unchanged without reading the old file.
  LoadedVersions loaded{oldVersion.status.size >= 0 && oldVersion.status == newVersion.status,
                        false, false};
  InputFile* oldFile = loaded.unchanged ? nullptr : oldVersion.FileOrNull();
  InputFile* newFile = newVersion.FileOrNull();
  const std::size_t oldBytes = oldFile != nullptr ? SizeOrZero(oldVersion.status.size) : 0;
  const std::size_t newBytes = newFile != nullptr ? SizeOrZero(newVersion.status.size) : 0;
  const MemoryBooking booking(workspace.budget, WorkingBytes(oldBytes, newBytes),
                              oldBytes + newBytes);
  ClearText(workspace.oldText);
  ClearText(workspace.newText);
  loaded.oldRead = oldFile != nullptr && ReadSourceBytes(*oldFile, workspace.oldText.bytes);
  loaded.newRead = newFile != nullptr && ReadSourceBytes(*newFile, workspace.newText.bytes);
  // Both files are closed before pairing and counting.
  oldVersion.file.reset();
  newVersion.file.reset();
  return MeasureLoadedTexts(loaded, workspace);
}

bool TakenAsUnchanged(const std::string& oldFolder, const std::string& newFolder,
                      const std::string& oldName, const std::string& newName) {
  if (oldFolder.empty() || newFolder.empty() || oldName.empty() || newName.empty()) return false;
  const FileStatus oldStatus = QueryStatus(JoinPath(oldFolder, oldName));
  return oldStatus.size >= 0 && oldStatus == QueryStatus(JoinPath(newFolder, newName));
}

FileResult MeasureVersionBytes(VersionBytes oldVersion, VersionBytes newVersion, bool sameContent,
                               PairWorkspace& workspace) {
  if (sameContent) oldVersion.reset();
  const std::size_t oldBytes = oldVersion ? oldVersion->size() : 0;
  const std::size_t newBytes = newVersion ? newVersion->size() : 0;
  const MemoryBooking booking(workspace.budget, WorkingBytes(oldBytes, newBytes),
                              oldBytes + newBytes);
  ClearText(workspace.oldText);
  ClearText(workspace.newText);
  const LoadedVersions loaded{sameContent,
                              oldVersion && ReadSourceBytes(*oldVersion, workspace.oldText.bytes),
                              newVersion && ReadSourceBytes(*newVersion, workspace.newText.bytes)};
  return MeasureLoadedTexts(loaded, workspace);
}

}  // namespace quintrel
