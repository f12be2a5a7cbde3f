#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/file_result.h"
#include "engine/new_line_index.h"
#include "engine/source_text.h"

namespace quintrel {

// Memory for measuring pairs one after another on one thread. Each pair reuses the buffers
// of the pair before: fresh memory from the system costs page faults and zero-filling,
// which for large files take as long as the measuring itself.
class PairWorkspace {
 public:
  SourceText oldText;
  SourceText newText;
  LineIndexMemory index;
  // The bytes of the versions the last MeasureFilePair loaded (after text-mode reading):
  // what a run reports as read.
  std::uint64_t loadedBytes = 0;

  // Returns buffers beyond kKeptBytes to the system, so that one huge file does not hold
  // its memory for the rest of a run.
  void ReleaseLarge();

 private:
  static constexpr std::size_t kKeptBytes = std::size_t{64} << 20;
};

// Measures one file across two folders. An empty folder or an empty name makes that side
// absent; so does a file that cannot be opened or read. Folders are used as given (resolve
// relative ones first); the current directory is never changed, so calls may run in
// parallel. The old file is not read when its size and modification time equal the new
// file's.
FileResult MeasureFilePair(const std::string& oldFolder, const std::string& newFolder,
                           const std::string& oldName, const std::string& newName,
                           PairWorkspace& workspace);

}  // namespace quintrel
