#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "cli/program_arguments.h"
#include "engine/system_path_win.h"

namespace quintrel {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(NarrowToUtf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace quintrel
