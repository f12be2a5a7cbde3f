#include "git_opener.h"

namespace quintrel::testing {

GitOpener InProcessGitOpener() {
  return OpenGitRevisions;
}

}  // namespace quintrel::testing
