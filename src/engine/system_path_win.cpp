#include "engine/system_path_win.h"

#include <windows.h>

#include <algorithm>

namespace quintrel {

namespace {

// Paths at least this long get the "\\?\" prefix, which lifts the MAX_PATH limit. The margin
// leaves room for the names a folder path is joined with before it is opened (the "\*" of a
// listing, a temporary name beside a report).
constexpr std::size_t kLongPath = MAX_PATH - 12;

}  // namespace

std::wstring WidenUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result.data(), wide);
  return result;
}

std::string NarrowToUtf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, result.data(), bytes, nullptr, nullptr);
  return result;
}

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = WidenUtf8(path);
  if (wide.size() < kLongPath || wide.starts_with(L"\\\\?\\")) return wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  full.resize(written);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace quintrel
