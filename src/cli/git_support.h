#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/git_module_entry.h"
#include "compare/sources/git_source.h"

namespace quintrel {

// The opener that calls the module's entry.
inline GitOpener OpenerOfEntry(GitModuleEntry entry) {
  return [entry](const GitRevisions& revisions, const std::vector<std::string>& extensions) {
    GitOpening opening;
    entry(revisions, extensions, opening);
    return opening;
  };
}

// The name of the module that holds the git support, next to the program or installed in
// its library folder.
inline constexpr const char* kGitModuleName = "quintrel-git";

// Loads the git support of the installed program. It is a module of its own, loaded on
// first use, so that runs on folders do not load libgit2 and the many libraries it needs at
// every start. Empty, with `error` saying why, when the module cannot be found or loaded.
GitOpener LoadGitSupport(std::string& error);

}  // namespace quintrel
