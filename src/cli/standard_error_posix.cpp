#include <unistd.h>

#include "cli/standard_error.h"

namespace quintrel {

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace quintrel
