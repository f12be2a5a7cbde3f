#include <langinfo.h>

#include "cli/terminal_encoding.h"

namespace quintrel {

std::string TerminalCodeset() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr ? codeset : "";
}

}  // namespace quintrel
