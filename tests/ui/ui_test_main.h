#pragma once

#include "support/temp_dir.h"

namespace quintrel::testing {

// The folder that stands in for the user's configuration folder (XDG_CONFIG_HOME) in the
// window tests; the user's settings file lies below it.
const ScopedTempDir& ConfigHome();

}  // namespace quintrel::testing
