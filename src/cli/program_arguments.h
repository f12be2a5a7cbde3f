#pragma once

#include <string>
#include <vector>

namespace quintrel {

// The arguments the program was started with, without the program's name, in UTF-8. On
// POSIX systems these are `argv` as given; on Windows they are read from the UTF-16 command
// line, since `argv` holds only what the ANSI code page can say. The platform
// implementation lives in one file.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace quintrel
