#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/file_result.h"
#include "engine/memory_budget.h"
#include "engine/new_line_index.h"
#include "engine/source_text.h"
#include "engine/unit_pairing.h"

namespace quintrel {

// What pairs with what when a pair is measured. kLines: lines of equal bytes. kStatementUnits:
// statement units of equal tokens, so that a change of layout alone changes no count (see
// ReadStatementUnits); the LOC figure is the same either way.
enum class PairingRule { kLines, kStatementUnits };

// Memory for measuring pairs one after another on one thread. Each pair reuses the buffers
// of the pair before: fresh memory from the system costs page faults and zero-filling,
// which for large files take as long as the measuring itself.
class PairWorkspace {
 public:
  SourceText oldText;
  SourceText newText;
  LineIndexMemory index;
  StatementUnitMemory units;
  // The bytes of the versions the last MeasureFilePair loaded (after text-mode reading):
  // what a run reports as read.
  std::uint64_t loadedBytes = 0;
  // Shared by the workspaces of a run, if set: each pair books its memory there first.
  MemoryBudget* budget = nullptr;
  // After a pair, the buffers are returned to the system when together they hold more than
  // this, so that one huge file does not hold its memory for the rest of a run.
  std::size_t keptBytes = std::size_t{64} << 20;
  PairingRule pairing = PairingRule::kLines;

  void ReleaseLarge();
};

// Measures one file across two folders. An empty folder or an empty name makes that side
// absent; so does a file that cannot be opened or read. Folders are used as given (resolve
// relative ones first); the current directory is never changed, so calls may run in
// parallel. The old file is not read when its size and modification time equal the new
// file's.
FileResult MeasureFilePair(const std::string& oldFolder, const std::string& newFolder,
                           const std::string& oldName, const std::string& newName,
                           PairWorkspace& workspace);

// Whether MeasureFilePair takes the two files as unchanged without reading the old one:
// both have a status, and their sizes and modification times are equal.
bool TakenAsUnchanged(const std::string& oldFolder, const std::string& newFolder,
                      const std::string& oldName, const std::string& newName);

// One version of a file handed over in memory: its bytes as stored (before text-mode
// reading), or std::nullopt for an absent version. The bytes need only live for the call.
using VersionBytes = std::optional<std::span<const unsigned char>>;

// Measures two versions handed over in memory exactly as MeasureFilePair measures two files.
// `sameContent` says that the versions are known to be identical (the same content id): the
// pair then counts nothing added or deleted, and `oldVersion` is not looked at, so a caller
// need not load it.
FileResult MeasureVersionBytes(VersionBytes oldVersion, VersionBytes newVersion, bool sameContent,
                               PairWorkspace& workspace);

}  // namespace quintrel
