// The module the command-line tool loads for --git (see git_support.h).
#include <type_traits>

#include "cli/git_module_entry.h"

extern "C" QUINTREL_MODULE_EXPORT void quintrel_open_git_revisions(
    const quintrel::GitRevisions& revisions, const std::vector<std::string>& extensions,
    quintrel::GitOpening& opening) {
  opening = quintrel::OpenGitRevisions(revisions, extensions);
}

// The entry must match what the program expects of it.
static_assert(std::is_same_v<decltype(&quintrel_open_git_revisions), quintrel::GitModuleEntry>);
