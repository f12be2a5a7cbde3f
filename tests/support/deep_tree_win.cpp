// Deep folders on Windows: every call names its folder by the full "\\?\" path, which the
// system accepts up to 32767 characters.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/deep_tree.h"

namespace quintrel::testing {

namespace {

std::wstring LongForm(const std::filesystem::path& top) {
  std::wstring full = std::filesystem::absolute(top).make_preferred().wstring();
  return L"\\\\?\\" + full;
}

std::wstring Wide(const std::string& name) {
  return std::filesystem::path(name).wstring();
}

}  // namespace

std::string MakeDeepFolders(const std::filesystem::path& top, const std::string& folder, int depth,
                            const std::string& file, std::string_view bytes) {
  std::wstring path = LongForm(top);
  std::string relative;
  for (int level = 0; level < depth; ++level) {
    path += L"\\" + Wide(folder);
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      throw std::runtime_error("cannot create a deep folder");
    }
    relative += folder + "/";
  }
  path += L"\\" + Wide(file);
  HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create the deep file");
  DWORD written = 0;
  const bool ok =
      ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
      written == bytes.size();
  ::CloseHandle(out);
  if (!ok) throw std::runtime_error("cannot write the deep file");
  return relative + file;
}

std::string DeepPathSkipReason(std::size_t length) {
  constexpr std::size_t kLongestPath = 32'767;  // of a "\\?\" path
  // Wine's paths end as Unix paths, which PATH_MAX (4096 bytes) limits, temporary folder
  // included.
  constexpr std::size_t kLongestWinePath = 4'096 - 160;
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const bool wine = ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
  if (wine && length > kLongestWinePath) {
    return "Wine maps each path to a Unix path, which PATH_MAX limits to 4096 bytes";
  }
  if (length > kLongestPath) return "Windows paths end at 32767 characters";
  return {};
}

void RemoveDeepFolders(const std::filesystem::path& top, const std::string& folder,
                       const std::string& file) {
  // Walk down as far as the folders go, then remove them from the deepest one up.
  std::wstring path = LongForm(top);
  std::vector<std::wstring> levels;
  for (;;) {
    const std::wstring next = path + L"\\" + Wide(folder);
    const DWORD attributes = ::GetFileAttributesW(next.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      break;
    }
    levels.push_back(next);
    path = next;
  }
  if (!levels.empty()) ::DeleteFileW((levels.back() + L"\\" + Wide(file)).c_str());
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    ::RemoveDirectoryW(level->c_str());
  }
}

}  // namespace quintrel::testing
