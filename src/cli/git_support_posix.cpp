#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "cli/git_module_entry.h"
#include "cli/git_support.h"

namespace quintrel {

namespace {

// The folder of the running program.
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string program(path, static_cast<std::size_t>(length));
  const std::size_t slash = program.rfind('/');
  return slash == std::string::npos ? "." : program.substr(0, slash);
}

}  // namespace

GitOpener LoadGitSupport(std::string& error) {
  const std::string folder = ProgramFolder();
  const std::string file = std::string(kGitModuleName) + ".so";
  // Beside the program in a build folder; in the library folder once installed.
  void* module = nullptr;
  for (const std::string& candidate :
       {folder + "/" + file, folder + "/" + QUINTREL_MODULE_FOLDER + "/" + file}) {
    module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) break;
    error = dlerror();
  }
  if (module == nullptr) return {};
  // The module stays loaded for the rest of the process: the versions it opens keep code
  // and data of it.
  auto entry = reinterpret_cast<GitModuleEntry>(dlsym(module, kGitModuleEntryName));
  if (entry == nullptr) {
    error = dlerror();
    return {};
  }
  return OpenerOfEntry(entry);
}

}  // namespace quintrel
