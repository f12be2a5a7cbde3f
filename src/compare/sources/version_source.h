#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compare/listing/catalogue.h"
#include "compare/listing/folder_listing.h"
#include "compare/listing/folder_tree.h"
#include "engine/file_pair.h"
#include "engine/file_result.h"

namespace quintrel {

// One version of the files a run compares, as the run lists it: a folder on disk or a folder
// of a repository's revision. Paths below the top folder are names joined by
// TreePathSeparator().
class VersionSource {
 public:
  virtual ~VersionSource() = default;

  // False when the top folder cannot be opened (or is none in this version).
  virtual bool OpenTop() = 0;

  // The names directly in the top folder that carry an accepted extension, whatever kind of
  // entry they name, in byte order: the listing of a flat run.
  virtual std::vector<std::string> ListTop() = 0;

  // One folder of the tree, as FolderTreeReader::List lists it.
  virtual FolderLevel List(const std::string& relative) = 0;
};

enum class VersionSide { kOld, kNew };

// The files of both versions, read and measured one catalogue entry after another; one per
// worker thread.
class VersionFiles {
 public:
  virtual ~VersionFiles() = default;
  virtual FileResult Measure(const CatalogueEntry& entry, PairWorkspace& workspace) = 0;

  // Reads the file `name` (a path below the top folder) of one version as measuring reads
  // it: its bytes after text-mode reading. False, with `bytes` empty, when it cannot be read.
  virtual bool ReadText(VersionSide side, const std::string& name, ByteBuffer& bytes) = 0;

  // Whether Measure would take the old file `oldName` and the new file `newName` as
  // unchanged without comparing their bytes. Two versions with the same bytes measure as
  // unchanged ones do, so a measurer that takes only those as unchanged may answer false.
  virtual bool TakesAsUnchanged(const std::string& /*oldName*/, const std::string& /*newName*/) {
    return false;
  }
};

// What a message says of a version whose top folder cannot be opened.
struct TopFolderError {
  std::string message;
  // True for a message of the program, which the command-line tool writes after its name as
  // its other errors; false for the folder message that the window shows too.
  bool fromProgram = false;
};

// The two versions of a run and how their files are read and measured.
class VersionPair {
 public:
  virtual ~VersionPair() = default;
  virtual VersionSource& Old() = 0;
  virtual VersionSource& New() = 0;
  // Called once on each worker thread, after both versions have been listed; may throw.
  virtual std::unique_ptr<VersionFiles> OpenFiles() const = 0;
  // How reports name a version: the folder as the user gave it, or REVISION:PATH.
  virtual std::string Label(VersionSide side) const = 0;
  virtual TopFolderError CannotOpen(VersionSide side) const = 0;
};

}  // namespace quintrel
