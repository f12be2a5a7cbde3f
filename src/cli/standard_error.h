#pragma once

namespace quintrel {

// True when the process's standard error is a terminal, where a progress line that is
// rewritten in place makes sense. The platform implementation lives in one file.
bool StandardErrorIsTerminal();

}  // namespace quintrel
