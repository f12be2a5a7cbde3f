#include <windows.h>

#include "cli/standard_error.h"

namespace quintrel {

// Only a console rewrites a line in place; a redirected handle has no console mode.
bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace quintrel
