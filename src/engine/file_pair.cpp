#include "engine/file_pair.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "engine/input_file.h"
#include "engine/line_matching.h"
#include "engine/source_loader.h"
#include "engine/statement_counter.h"

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

void LoadVersion(InputFile* file, SourceText& text) {
  if (file != nullptr) LoadSourceText(*file, text);
}

// Both versions loaded with the same bytes: every line pairs with its copy, so the flags
// need no matching, and the old text's counts would equal the new one's.
bool SameLoadedText(const SourceText& oldText, const SourceText& newText) {
  return !oldText.lines.empty() && oldText.lines.size() == newText.lines.size() &&
         oldText.bytes.size() == newText.bytes.size() &&
         std::equal(oldText.bytes.begin(), oldText.bytes.end(), newText.bytes.begin());
}

void MarkEveryLinePaired(SourceText& text) {
  std::fill(text.lines.begin(), text.lines.end(), 1);
}

template <typename Buffer>
void ReleaseIfLarge(Buffer& buffer, std::size_t keptBytes) {
  if (buffer.capacity() * sizeof(typename Buffer::value_type) > keptBytes) Buffer().swap(buffer);
}

// Pairs the lines of the workspace's two loaded texts and counts their statements.
// `unchanged`: the versions are known to be identical and only the new one was loaded.
// `bothLoaded`: both versions were present to be loaded (either may still have failed).
FileResult MeasureLoadedTexts(bool unchanged, bool bothLoaded, PairWorkspace& workspace) {
  SourceText& oldText = workspace.oldText;
  SourceText& newText = workspace.newText;
  workspace.loadedBytes = oldText.bytes.size() + newText.bytes.size();
  const bool sameText = bothLoaded && SameLoadedText(oldText, newText);
  if (sameText) {
    MarkEveryLinePaired(newText);
  } else {
    PairLines(oldText, newText, workspace.index, FlagsWanted::kLinesWithMarks);
  }
  const StatementCounts newCounts = CountStatements(newText);
  FileResult result;
  result.loc = newCounts.matched + newCounts.unmatched;
  if (!unchanged) {
    result.added = newCounts.unmatched;
    result.deleted = sameText ? newCounts.unmatched : CountStatements(oldText).unmatched;
  }
  workspace.ReleaseLarge();
  return result;
}

}  // namespace

void PairWorkspace::ReleaseLarge() {
  for (SourceText* text : {&oldText, &newText}) {
    ReleaseIfLarge(text->bytes, kKeptBytes);
    ReleaseIfLarge(text->lines, kKeptBytes);
  }
  for (LineList* list : {&index.oldList, &index.newList}) {
    ReleaseIfLarge(list->lines, kKeptBytes);
    ReleaseIfLarge(list->hashes, kKeptBytes);
  }
  ReleaseIfLarge(index.next, kKeptBytes);
  ReleaseIfLarge(index.slots, kKeptBytes);
}

FileResult MeasureFilePair(const std::string& oldFolder, const std::string& newFolder,
                           const std::string& oldName, const std::string& newName,
                           PairWorkspace& workspace) {
  bool unchanged = false;
  bool bothLoaded = false;
  {
    Version oldVersion = OpenVersion(oldFolder, oldName);
    Version newVersion = OpenVersion(newFolder, newName);
    // Same size and modification time: taken as unchanged without reading the old file.
    unchanged = oldVersion.status.size >= 0 && oldVersion.status == newVersion.status;
    InputFile* oldFile = unchanged ? nullptr : oldVersion.FileOrNull();
    InputFile* newFile = newVersion.FileOrNull();
    ClearText(workspace.oldText);
    ClearText(workspace.newText);
    LoadVersion(oldFile, workspace.oldText);
    LoadVersion(newFile, workspace.newText);
    bothLoaded = oldFile != nullptr && newFile != nullptr;
  }  // both files are closed here, before pairing and counting
  return MeasureLoadedTexts(unchanged, bothLoaded, workspace);
}

FileResult MeasureVersionBytes(VersionBytes oldVersion, VersionBytes newVersion, bool sameContent,
                               PairWorkspace& workspace) {
  if (sameContent) oldVersion.reset();
  ClearText(workspace.oldText);
  ClearText(workspace.newText);
  if (oldVersion) LoadSourceBytes(*oldVersion, workspace.oldText);
  if (newVersion) LoadSourceBytes(*newVersion, workspace.newText);
  return MeasureLoadedTexts(sameContent, oldVersion && newVersion, workspace);
}

}  // namespace quintrel
