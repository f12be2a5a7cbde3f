#pragma once

#include <string>
#include <vector>

#include "compare/sources/git_source.h"

namespace quintrel {

// What the git module exports: OpenGitRevisions under a plain name, so that the program can
// look it up.
using GitModuleEntry = void (*)(const GitRevisions& revisions,
                                const std::vector<std::string>& extensions, GitOpening& opening);
inline constexpr const char* kGitModuleEntryName = "quintrel_open_git_revisions";

#if defined(_WIN32)
#define QUINTREL_MODULE_EXPORT __declspec(dllexport)
#else
#define QUINTREL_MODULE_EXPORT __attribute__((visibility("default")))
#endif

}  // namespace quintrel
