#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compare/sources/version_source.h"

namespace quintrel {

// A folder as it stands in two revisions of a git repository.
struct GitRevisions {
  // Where the repository is looked for (upwards, as git does) and what `path` is relative
  // to; empty for the current directory.
  std::string startFolder;
  std::string oldRevision;  // anything git accepts for a commit: a tag, a branch, HEAD~3, an id
  std::string newRevision;
  std::string path = ".";  // the folder to measure; absolute or relative to startFolder
};

enum class GitOpenStatus { kOpened, kNotARepository, kUnknownOldRevision, kUnknownNewRevision };

struct GitOpening {
  GitOpenStatus status = GitOpenStatus::kOpened;
  std::unique_ptr<VersionPair> versions;  // set when opened
};

// Opens the repository and finds both revisions. The objects are read directly from the
// repository: nothing is checked out, no file is written and no other program is started.
// A path that is no folder in a revision makes that version's OpenTop fail. Only blobs are
// files (executable or not); symbolic links and submodules are skipped. Two versions with
// the same blob id are taken as unchanged without reading the old one.
// Files are listed when they carry one of `extensions`.
GitOpening OpenGitRevisions(const GitRevisions& revisions,
                            const std::vector<std::string>& extensions);

// Opens two revisions of a repository, as OpenGitRevisions does: the program reaches it
// through a module of its own (see cli/git_support.h), tests directly.
using GitOpener =
    std::function<GitOpening(const GitRevisions&, const std::vector<std::string>& extensions)>;

}  // namespace quintrel
