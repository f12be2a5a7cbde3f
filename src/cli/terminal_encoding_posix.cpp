#include <langinfo.h>

#include <iostream>

#include "cli/terminal_encoding.h"

namespace quintrel {

std::string TerminalCodeset() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr ? codeset : "";
}

struct StandardStreams::Consoles {};

StandardStreams::StandardStreams() = default;
StandardStreams::~StandardStreams() = default;

std::ostream& StandardStreams::Out() {
  return std::cout;
}

std::ostream& StandardStreams::Err() {
  return std::cerr;
}

}  // namespace quintrel
