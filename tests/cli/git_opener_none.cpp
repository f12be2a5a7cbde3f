#include "git_opener.h"

namespace quintrel::testing {

GitOpener InProcessGitOpener() {
  return {};
}

}  // namespace quintrel::testing
