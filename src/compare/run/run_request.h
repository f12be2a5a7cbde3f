#pragma once

#include <optional>
#include <string>

#include "compare/listing/scan_options.h"
#include "compare/run/measurement_run.h"
#include "compare/sources/folder_pair.h"
#include "compare/sources/git_source.h"

namespace quintrel {

// What a user asks of a run, from the command line's options or the window's controls.
struct RunOptions {
  // Two folders exactly as given (an empty text is an empty folder), or with `git` two
  // revisions.
  std::string oldVersion;
  std::string newVersion;
  bool git = false;                     // the versions are revisions of a git repository
  std::string gitPath = ".";            // with `git`: the folder measured, as given
  std::optional<std::string> gitStart;  // with `git`: where the repository is looked for
  ScanOptions scan;
  int renamePercent = 0;      // 0: no rename search
  bool ignoreFormat = false;  // pair statement units by their tokens, not lines by their bytes
  unsigned jobs = 0;          // 0: one worker per core
};

// How the versions are opened. The program uses MakeFolderPair and, for revisions, the git
// support it has loaded; tests hand in fake pairs.
struct VersionOpeners {
  FolderPairOpener folders = MakeFolderPair;
  GitOpener git;  // needed only for runs on revisions
};

struct RunStart {
  GitOpenStatus status = GitOpenStatus::kOpened;  // anything else: no request
  RunRequest request;

  bool ok() const { return status == GitOpenStatus::kOpened; }
};

// The run request for `options`: the versions opened, the scan, the rename search and the
// workers as asked; the progress reports and the cancel flag are the caller's to add. For
// revisions, the repository and both revisions must be found (`status` says which was not).
RunStart BuildRunRequest(const RunOptions& options, const VersionOpeners& openers = {});

}  // namespace quintrel
