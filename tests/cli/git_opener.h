#pragma once

#include "cli/git_support.h"

namespace quintrel::testing {

// Opens revisions inside the test process, without the git module; empty in a build without
// libgit2, where the program then answers --git as the installed program does.
GitOpener InProcessGitOpener();

}  // namespace quintrel::testing
