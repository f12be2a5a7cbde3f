#include <windows.h>

#include "cli/git_module_entry.h"
#include "cli/git_support.h"
#include "engine/system_path_win.h"

namespace quintrel {

namespace {

// The folder of the running program.
std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? L"." : path.substr(0, separator);
}

}  // namespace

GitOpener LoadGitSupport(std::string& error) {
  const std::wstring file = WidenUtf8(kGitModuleName) + L".dll";
  // Only the program's own folder: the current folder and PATH are never searched.
  HMODULE module = ::LoadLibraryExW((ProgramFolder() + L"\\" + file).c_str(), nullptr,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) {
    error = "this build has no git support (" + NarrowToUtf8(file) + " is not beside the program)";
    return {};
  }
  // The module stays loaded for the rest of the process: the versions it opens keep code
  // and data of it.
  auto entry = reinterpret_cast<GitModuleEntry>(
      reinterpret_cast<void*>(::GetProcAddress(module, kGitModuleEntryName)));
  if (entry == nullptr) {
    error = NarrowToUtf8(file) + " has no entry " + kGitModuleEntryName;
    return {};
  }
  return OpenerOfEntry(entry);
}

}  // namespace quintrel
